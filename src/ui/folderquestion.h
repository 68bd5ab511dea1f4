#pragma once
// The first start's question for the game folder: the folder typed (or chosen with Browse), why the
// last one could not be taken, and a way to look at the demo galaxy instead.

#include <QDialog>

#include "io/interfaces.h"

class QLabel;
class QLineEdit;

namespace vornex::ui {

class FolderQuestion : public QDialog {
    Q_OBJECT
public:
    // prompt: the question with an example folder of this system; why: what was wrong with the
    // last answer (empty the first time); typed: that answer, offered again.
    FolderQuestion(const QString& title, const QString& prompt, const QString& why, const QString& typed = {},
                   QWidget* parent = nullptr);

    // What the user chose: a folder (OK), the demo galaxy, or Cancel.
    FolderAnswer answer() const;

private:
    void edited();

    QLineEdit* m_folder = nullptr;
    QLabel* m_why = nullptr;
    bool m_demo = false;
};

// Asks with the FolderQuestion (or the test hook). typed is the last answer.
FolderAnswer askFolder(QWidget* parent, const QString& title, const QString& prompt, const QString& why,
                       const QString& typed);

} // namespace vornex::ui
