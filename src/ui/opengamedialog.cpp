#include "ui/opengamedialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/theme.h"

namespace vornex::ui {

OpenGameDialog::OpenGameDialog(const Game& current, QWidget* parent) : QDialog(parent)
{
    setObjectName("frmOpenGame");
    setWindowTitle(tr("Open Game"));
    auto* grid = new QGridLayout;
    auto why = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, reasonColour());
        l->setPalette(p);
        return l;
    };

    m_folder = new QLineEdit(QDir::toNativeSeparators(QString::fromStdString(current.folder)), this);
    m_folder->setObjectName("txtFolder");
    m_folder->setMinimumWidth(320);
    auto* choose = new QToolButton(this);
    choose->setObjectName("cmdChooseFolder");
    choose->setText(tr("…"));
    choose->setToolTip(tr("Choose the folder of the game files"));
    m_folderWhy = why("lblFolderWhy");
    auto caption = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(caption(tr("Game &folder:"), m_folder), 0, 0);
    grid->addWidget(m_folder, 0, 1);
    grid->addWidget(choose, 0, 2);
    grid->addWidget(m_folderWhy, 0, 3);

    m_player = new QLineEdit(QString::fromStdString(current.player.suffix), this);
    m_player->setObjectName("txtPlayer");
    m_player->setMaximumWidth(60);
    m_playerWhy = why("lblPlayerWhy");
    grid->addWidget(caption(tr("&Player (1 to 16):"), m_player), 1, 0);
    grid->addWidget(m_player, 1, 1, Qt::AlignLeft);
    grid->addWidget(m_playerWhy, 1, 3);

    m_game = new QComboBox(this);
    m_game->setObjectName("cboGame");
    m_game->setEditable(true);
    m_game->setInsertPolicy(QComboBox::NoInsert);
    m_gameWhy = why("lblGameWhy");
    grid->addWidget(caption(tr("&Game name:"), m_game), 2, 0);
    grid->addWidget(m_game, 2, 1);
    grid->addWidget(m_gameWhy, 2, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName("cmdOK");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    folderEdited();
    m_game->setEditText(QString::fromStdString(current.name));
    revalidate();

    connect(m_folder, &QLineEdit::textChanged, this, &OpenGameDialog::folderEdited);
    connect(m_player, &QLineEdit::textChanged, this, &OpenGameDialog::revalidate);
    connect(m_game, &QComboBox::editTextChanged, this, &OpenGameDialog::revalidate);
    connect(choose, &QToolButton::clicked, this, &OpenGameDialog::chooseFolder);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<Game> OpenGameDialog::choice() const
{
    return checkGameChoice(m_folder->text(), m_player->text(), m_game->currentText()).game;
}

void OpenGameDialog::folderEdited()
{
    // The names offered are the folder's games; what was typed stays.
    const QString typed = m_game->currentText();
    const QSignalBlocker block(m_game);
    m_game->clear();
    m_game->addItems(gameNamesIn(m_folder->text().trimmed()));
    m_game->setEditText(typed);
    revalidate();
}

void OpenGameDialog::revalidate()
{
    const GameChoiceCheck check = checkGameChoice(m_folder->text(), m_player->text(), m_game->currentText());
    m_folderWhy->setText(check.folder);
    m_playerWhy->setText(check.player);
    m_gameWhy->setText(check.name);
    m_ok->setEnabled(check.ok());
}

void OpenGameDialog::chooseFolder()
{
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Game folder"), m_folder->text());
    if (!dir.isEmpty()) m_folder->setText(QDir::toNativeSeparators(dir));
}

} // namespace vornex::ui
