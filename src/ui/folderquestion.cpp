#include "ui/folderquestion.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/gamechoice.h"
#include "ui/dialogs.h"
#include "ui/theme.h"

namespace vornex::ui {

FolderQuestion::FolderQuestion(const QString& title, const QString& prompt, const QString& why, const QString& typed,
                               QWidget* parent)
    : QDialog(parent)
{
    setObjectName("frmFolderQuestion");
    setWindowTitle(title);
    auto* caption = new QLabel(prompt, this);
    caption->setObjectName("lblPrompt");
    m_folder = new QLineEdit(typed, this);
    m_folder->setObjectName("txtFolder");
    m_folder->setMinimumWidth(360);
    caption->setBuddy(m_folder);
    auto* browse = new QPushButton(tr("&Browse…"), this);
    browse->setObjectName("cmdBrowse");
    m_why = new QLabel(why, this);
    m_why->setObjectName("lblWhy");
    m_why->setWordWrap(true);
    QPalette p = m_why->palette();
    p.setColor(QPalette::WindowText, reasonColour());
    m_why->setPalette(p);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
    auto* demo = buttons->addButton(tr("Open the &Demo Galaxy"), QDialogButtonBox::ActionRole);
    demo->setObjectName("cmdDemo");
    demo->setToolTip(tr("Look around a galaxy that comes with the program; your settings stay as they are"));

    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    row->addWidget(browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption);
    layout->addLayout(row);
    layout->addWidget(m_why);
    layout->addWidget(buttons);

    connect(m_folder, &QLineEdit::textChanged, this, &FolderQuestion::edited);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, windowTitle(), m_folder->text());
        if (dir.isEmpty()) return;
        m_folder->setText(QDir::toNativeSeparators(dir));
    });
    connect(demo, &QPushButton::clicked, this, [this] {
        m_demo = true;
        accept();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void FolderQuestion::edited()
{
    // The reason follows what is typed, so that OK is pressed on a folder that is known to work.
    m_why->setText(folderProblem(m_folder->text()));
}

FolderAnswer FolderQuestion::answer() const
{
    if (result() != QDialog::Accepted) return {};
    if (m_demo) return FolderAnswer{FolderAnswer::Kind::Demo, {}};
    return FolderAnswer{FolderAnswer::Kind::Folder, m_folder->text().toStdString()};
}

FolderAnswer askFolder(QWidget* parent, const QString& title, const QString& prompt, const QString& why,
                       const QString& typed)
{
    if (dialogHooks().folder) return dialogHooks().folder(title, prompt, why);
    FolderQuestion question(title, prompt, why, typed, parent);
    question.exec();
    return question.answer();
}

} // namespace vornex::ui
