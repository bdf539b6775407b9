#pragma once

#include <QDialog>

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
    explicit TFrmSetComm(SystemSettings& settings, QWidget* parent = nullptr);

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
    SystemSettings& settings_;
};

// The 13 bit rates of the speed table, index 1..13 at list position 0..12.
QStringList BaudRateItems();
