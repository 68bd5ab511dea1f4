// The toolkit's own start, the baseline of first_paint: a main window of the size given with one
// widget that paints black, and the same start-up trace as the program's map
// (VORNEX_TRACE_FIRST_PAINT): "first map paint X ms after start (Y ms CPU)".
//
//   vornex_emptywindow WIDTH HEIGHT

#include <QApplication>
#include <QMainWindow>
#include <QPainter>
#include <QWidget>
#include <cstdlib>

#include "app/starttrace.h"

namespace {

class Black : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        vornex::traceStartStep("first map paint");
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 1200;
    const int height = argc > 2 ? std::atoi(argv[2]) : 820;
    QMainWindow window;
    window.setCentralWidget(new Black);
    window.resize(width, height);
    window.show();
    return app.exec();
}
