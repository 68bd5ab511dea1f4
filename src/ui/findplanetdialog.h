#pragma once
// The "Find Planet" box. Its name field completes planet names as you type, letter case and
// accents ignored ("ulal" offers "Ulal", "facade" offers "Façade"); picking a completion finds that
// planet. A text typed and confirmed without a completion is looked up by its exact name.

#include <QDialog>
#include <QString>
#include <QStringList>

class QCompleter;
class QLineEdit;

namespace vornex::ui {

// The form in which names are matched: lower case, accents dropped.
QString searchFold(const QString& text);

class FindPlanetDialog : public QDialog {
    Q_OBJECT
public:
    // names: the planets' names in collection order.
    FindPlanetDialog(const QStringList& names, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return m_name; }
    QCompleter* completer() const { return m_completer; }
    // The position in names of the completion picked, or -1 when the text in the field was typed.
    int pickedPlanet() const;
    // What the user typed, before any completion replaced it: the text Find Next looks for.
    QString typedText() const { return m_typed; }

private:
    QStringList m_names;
    QLineEdit* m_name = nullptr;
    QCompleter* m_completer = nullptr;
    int m_picked = -1;
    QString m_typed;
};

} // namespace vornex::ui
