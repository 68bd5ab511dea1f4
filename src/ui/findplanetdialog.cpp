#include "ui/findplanetdialog.h"

#include <QAbstractListModel>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vornex::ui {

namespace {

constexpr int kFoldedRole = Qt::UserRole;
constexpr int kPositionRole = Qt::UserRole + 1;

// The names with their folded forms, which the completer matches against.
class NameList : public QAbstractListModel {
public:
    NameList(const QStringList& names, QObject* parent) : QAbstractListModel(parent), m_names(names)
    {
        m_folded.reserve(names.size());
        for (const QString& n : names)
            m_folded.push_back(searchFold(n));
    }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_names.size()); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount()) return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole) return m_names[index.row()];
        if (role == kFoldedRole) return m_folded[index.row()];
        if (role == kPositionRole) return index.row();
        return {};
    }

private:
    QStringList m_names;
    QStringList m_folded;
};

// Matches the folded text typed against the folded names, and puts the name itself in the field.
class FoldingCompleter : public QCompleter {
public:
    using QCompleter::QCompleter;
    QStringList splitPath(const QString& path) const override { return {searchFold(path)}; }
    QString pathFromIndex(const QModelIndex& index) const override { return index.data(Qt::DisplayRole).toString(); }
};

} // namespace

QString searchFold(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing) out += c;
    return out.toCaseFolded();
}

FindPlanetDialog::FindPlanetDialog(const QStringList& names, QWidget* parent) : QDialog(parent), m_names(names)
{
    setWindowTitle(tr("Find Planet"));
    setObjectName("dlgFindPlanet");
    m_name = new QLineEdit(this);
    m_name->setObjectName("txtFindName");
    m_name->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 24);
    m_completer = new FoldingCompleter(new NameList(names, this), this);
    m_completer->setCompletionRole(kFoldedRole);
    m_completer->setFilterMode(Qt::MatchContains);
    m_completer->setCaseSensitivity(Qt::CaseSensitive); // both sides are folded already
    m_completer->setMaxVisibleItems(12);
    m_name->setCompleter(m_completer);
    connect(m_name, &QLineEdit::textEdited, this, [this](const QString& text) { m_typed = text; });
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this, [this](const QModelIndex& index) {
        m_picked = index.data(kPositionRole).toInt();
        // The name goes into the field first; a pick is an answer.
        m_name->setText(m_names.value(m_picked));
        accept();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(tr("Planet Name"), m_name);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

int FindPlanetDialog::pickedPlanet() const
{
    // A pick edited afterwards is a typed text again.
    return m_picked >= 0 && m_names.value(m_picked) == m_name->text() ? m_picked : -1;
}

} // namespace vornex::ui
