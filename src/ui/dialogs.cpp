#include "ui/dialogs.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

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

SaveFailureAnswer askAfterFailedSave(QWidget* parent, const QString& title, const QString& text,
                                     const QString& discardText)
{
    if (dialogHooks().saveFailure) return dialogHooks().saveFailure(title, text);
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    QPushButton* retry = box.addButton(QMessageBox::Retry);
    QPushButton* quit = box.addButton(discardText.isEmpty() ? QObject::tr("Quit without saving") : discardText,
                                      QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(retry);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == retry) return SaveFailureAnswer::Retry;
    if (box.clickedButton() == quit) return SaveFailureAnswer::QuitWithoutSaving;
    return SaveFailureAnswer::Cancel;
}

QDialog* makeDetailsDialog(QWidget* parent, const QString& title, const QString& heading, const QStringList& lines)
{
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("detailsDialog"));
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(heading, dialog);
    label->setObjectName(QStringLiteral("lblHeading"));
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* list = new QPlainTextEdit(dialog);
    list->setObjectName(QStringLiteral("txtLines"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(list, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    layout->addWidget(buttons);

    // As tall as the lines need, but never taller than the screen (less room for the title bar),
    // so that OK always stays on it; more lines scroll.
    const QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    const QFontMetrics fm(list->font());
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int chrome = layout->contentsMargins().top() + layout->contentsMargins().bottom() + 2 * layout->spacing() +
                       label->sizeHint().height() + buttons->sizeHint().height() + 2 * list->frameWidth() + 8;
    const int maxHeight = std::max(200, room.height() * 4 / 5);
    const int wanted = chrome + fm.lineSpacing() * int(std::max<qsizetype>(lines.size(), 3));
    const int width = std::clamp(widest + 60, 420, std::max(420, room.width() * 4 / 5));
    dialog->setMaximumHeight(maxHeight);
    dialog->resize(width, std::min(wanted, maxHeight));
    return dialog;
}

void showDetails(QWidget* parent, const QString& title, const QString& heading, const QStringList& lines)
{
    if (dialogHooks().details) {
        dialogHooks().details(title, heading, lines);
        return;
    }
    const std::unique_ptr<QDialog> dialog(makeDetailsDialog(parent, title, heading, lines));
    dialog->exec();
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

} // namespace vornex::ui
