#include "ui/dialogs.h"

#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vornex::ui {

DialogHooks& dialogHooks()
{
    static DialogHooks hooks;
    return hooks;
}

std::optional<QString> askText(QWidget* parent, const QString& title, const QString& prompt)
{
    if (dialogHooks().input) return dialogHooks().input(title, prompt);
    bool ok = false;
    QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok) return std::nullopt;
    return text;
}

void showMessage(QWidget* parent, const QString& title, const QString& text)
{
    if (dialogHooks().message) {
        dialogHooks().message(title, text);
        return;
    }
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial)
{
    if (dialogHooks().colour) return dialogHooks().colour(initial);
    QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid()) return std::nullopt;
    return c;
}

QColor colourFromBgr(int32_t bgr)
{
    auto v = static_cast<uint32_t>(bgr);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

int32_t bgrFromColour(const QColor& c)
{
    return static_cast<int32_t>(uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16));
}

}  // namespace vornex::ui
