#pragma once

#include "platform/OptionsDialog.h"
#include "platform/qt/TwipsLayout.h"

#include <QDialog>
#include <map>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace carrovex::qt
{

// The options dialog on real widgets: fixed size, white, designed in twips. A focused button takes Enter;
// from any other control Enter presses Save.
class QtOptionsDialog final : public QDialog, public OptionsDialog
{
    Q_OBJECT

public:
    explicit QtOptionsDialog(QWidget* parent);
    ~QtOptionsDialog() override;

    void setEvents(OptionsDialogEvents* events);
    // Takes the dialog's logic, which loads the dialog at once and lives as long as the dialog.
    void adopt(std::unique_ptr<OptionsDialogEvents> logic);
    QWidget* widget(DialogControl control) const;

    void setTitle(const std::string& title) override;
    std::string text(DialogControl control) const override;
    void setText(DialogControl control, const std::string& text) override;
    int value(DialogControl control) const override;
    void setValue(DialogControl control, int value) override;
    void setEnabled(DialogControl control, bool enabled) override;
    void addItem(DialogControl control, int position, const std::string& text) override;
    void setFocus(DialogControl control) override;
    void showMessage(const std::string& text, const std::string& title) override;
    void close() override;

protected:
    void showEvent(QShowEvent* event) override;
    // Escape does not close the dialog: it has no cancel button in that sense.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void relayout();

    std::unique_ptr<OptionsDialogEvents> m_logic;
    OptionsDialogEvents* m_events = nullptr;
    QFrame* m_panel;
    QLabel* m_languageLabel;
    QComboBox* m_languageComboBox;
    QCheckBox* m_saveOnCloseCheckBox;
    QCheckBox* m_askBeforeSavingCheckBox;
    QCheckBox* m_runOnStartCheckBox;
    QCheckBox* m_sendToTrayCheckBox;
    QCheckBox* m_anyDestinationDiskCheckBox;
    QCheckBox* m_runOnArrivalCheckBox;
    QCheckBox* m_keepBothCheckBox;
    QPushButton* m_aboutButton;
    QPushButton* m_cancelButton;
    QPushButton* m_saveButton;
    std::map<DialogControl, QWidget*> m_widgets;
    TwipsLayout m_layout;
};

} // namespace carrovex::qt
