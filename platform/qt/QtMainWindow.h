#pragma once

#include "platform/MainWindow.h"
#include "platform/posix/ArrivalWatch.h"
#include "platform/qt/TwipsLayout.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <map>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QAction;
class QSystemTrayIcon;

namespace carrovex
{
class MainWindowEvents;
}

namespace carrovex::qt
{

class LogView;

// The main window on real Qt widgets, with its tray icon where the desktop has a tray. It only translates:
// widget signals become the logic's events, and the logic's control operations are applied to the
// widgets. Sizes are designed in twips. Enter presses the focused button, or Start when no button has the
// focus. The window is centred on the screen when it is first shown.
class QtMainWindow final : public QWidget, public MainWindow
{
    Q_OBJECT

public:
    QtMainWindow();
    QtMainWindow(const QtMainWindow&) = delete;
    QtMainWindow& operator=(const QtMainWindow&) = delete;
    ~QtMainWindow() override;

    void setEvents(MainWindowEvents* events);
    QWidget* widget(Control control) const;

    std::string text(Control control) const override;
    void setText(Control control, const std::string& text) override;
    int value(Control control) const override;
    void setValue(Control control, int value) override;
    void setEnabled(Control control, bool enabled) override;
    bool isEnabled(Control control) const override;
    void setToolTip(Control control, const std::string& text) override;
    void setAccessibleName(Control control, const std::string& name) override;
    void setVisible(Control control, bool visible) override;
    void setTop(Control control, int twips) override;
    void clearList(Control control) override;
    void addItem(Control control, int position, const std::string& text) override;
    void setCaption(const std::string& caption) override;
    bool isMinimized() const override;
    void setOuterWidth(int twips) override;
    void setOuterHeight(int twips) override;
    void setPanelHeight(int twips) override;
    void setBusyPointer(bool busy) override;
    void processEvents() override;
    void setTimerEnabled(bool enabled) override;
    Status watchArrivals(const std::string& folder) override;
    bool askYesNo(const std::string& prompt, const std::string& title) override;
    void showMessage(const std::string& text, const std::string& title) override;
    bool hasTray() const override;
    void hideToTray() override;
    void bringToFront() override;
    void notify(const std::string& title, const std::string& text) override;
    void setPlatformLanguage(const std::string& code) override;
    void close() override;
    void appendLine(const std::string& line) override;
    void removeLastLine() override;
    void setLogListener(LogListener* listener) override;
    int lineCount() const override;
    std::string lineText(int index) const override;
    void selectLine(int index) override;
    int lineAt(int x, int y) const override;
    void setListToolTip(const std::string& text) override;
    double twipsPerPixelX() const override;
    double twipsPerPixelY() const override;
    bool openFile(const std::string& path) override;
    std::string browseFolder(const std::string& prompt, const std::string& startFolder) override;
    void showOptionsDialog(const DialogLogicFactory& makeLogic) override;

    // The session ends: closes as the logic says, without a question.
    void endSession();

signals:
    // The window has closed for good.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void connectEvents();
    void connectArrivals();
    void createTray();
    void raiseClick(Control control);
    void relayout();
    void applySize();

    MainWindowEvents* m_events = nullptr;
    LogListener* m_logListener = nullptr;
    QFrame* m_panel;
    QLabel* m_sourceLabel;
    QLabel* m_destinationLabel;
    QLabel* m_intervalLabel;
    QLabel* m_logLabel;
    QLineEdit* m_sourceLineEdit;
    QLineEdit* m_destinationLineEdit;
    QPushButton* m_browseSourceButton;
    QPushButton* m_browseDestinationButton;
    QComboBox* m_intervalComboBox;
    QRadioButton* m_moveRadioButton;
    QRadioButton* m_copyRadioButton;
    QCheckBox* m_showLogCheckBox;
    QCheckBox* m_overwriteCheckBox;
    LogView* m_logView;
    QPushButton* m_settingsButton;
    QPushButton* m_startStopButton;
    QPushButton* m_quitButton;
    QTimer m_timer;
    posix::ArrivalWatch m_arrivals;
    QTimer m_arrivalsQuiet; // runs out when the watched folder has been quiet for a moment
    QElapsedTimer m_sinceEventsRan;
    QSystemTrayIcon* m_tray = nullptr;
    std::map<Control, QAction*> m_trayEntries;
    QAction* m_trayStartStop = nullptr;
    QTranslator m_platformTexts;
    std::map<Control, QWidget*> m_widgets;
    TwipsLayout m_layout;
    int m_outerWidth = 6150;
    int m_outerHeight = 4080;
    int m_panelHeight = 3675;
    bool m_mayClose = false;
    bool m_busy = false;
    bool m_shownBefore = false;
};

} // namespace carrovex::qt
