#pragma once
// How a box of the race editor shows that its text was not taken: a red frame, the reason as its
// tooltip and the "refused" property, cleared again once a text is taken.

#include <QLineEdit>
#include <QString>

namespace vornex::ui {

inline void markRefused(QLineEdit* box, const QString& why)
{
    box->setProperty("refused", true);
    box->setToolTip(why);
    box->setStyleSheet(QStringLiteral("QLineEdit { border: 2px solid #d00000; }"));
}

inline void markTaken(QLineEdit* box)
{
    if (!box->property("refused").toBool()) return;
    box->setProperty("refused", false);
    box->setToolTip(QString());
    box->setStyleSheet(QString());
}

inline bool isRefused(const QLineEdit* box)
{
    return box->property("refused").toBool();
}

} // namespace vornex::ui
