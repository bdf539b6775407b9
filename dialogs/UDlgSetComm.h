#pragma once

#include "PortList.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QWidget;
struct SystemSettings;

// "通讯设置": the serial port and its bit rate. The transport list is hidden;
// it only carries the stored choice, so with USB stored the port and rate
// lists are greyed. Confirming always selects the serial transport.
class TFrmSetComm : public QDialog {
    Q_OBJECT
public:
    // `ports`: the serial ports of the system (SerialPortList); the port
    // list's tool tip describes the chosen one.
    explicit TFrmSetComm(SystemSettings& settings, QWidget* parent = nullptr,
                         std::vector<SerialPortEntry> ports = {});

    void cbCommStyleChange();
    void BtnOKClick();

    QWidget* PanStyle; // never shown
    QComboBox* cbCommStyle;
    QWidget* PanComm;
    QLabel* lblcommPort;
    QComboBox* cbCommPort;
    QLabel* lblBaudRate;
    QComboBox* cbrate;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

private:
    void ShowPortToolTip();

    SystemSettings& settings_;
    std::vector<SerialPortEntry> ports_;
};

// The 13 bit rates of the speed table, index 1..13 at list position 0..12.
QStringList BaudRateItems();
