#pragma once

#include "platform/gui/FormWidget.h"

class QLabel;
class QPushButton;

// The About box: the program's title and version, a notice, OK, and a button that starts the computer's
// system-information program. One shared instance, shown modeless.
class frmAbout : public FormWidget {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    // The one shared instance, loaded on first use.
    static frmAbout* instance();
    // Shows the one About box, loading it when needed, in front.
    static void bringUp();

    // The parts of the settings that GetKeyValue reads. Only the machine-wide part is here to read.
    enum class RootKey { LocalMachine };
    // Reads valueName of keyName into value: a text as stored, a double word as its number; a value of
    // another kind leaves it as it was. False (and an empty value) when the key or the value cannot be read.
    static bool GetKeyValue(RootKey root, const QString& keyName, const QString& valueName, QString& value);
    // Starts the system-information program, or says that there is none.
    void StartSysInfo();

    void cmdOK_Click();
    void cmdSysInfo_Click() { StartSysInfo(); }

    static const QString UnavailableText;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();

    QLabel* m_lblTitle = nullptr;
    QLabel* m_lblVersion = nullptr;
};
