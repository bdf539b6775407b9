#include "UDlgSetComm.h"

#include "Settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A stored value outside the list leaves the list without a selection.
void Select(QComboBox& list, int position) {
    list.setCurrentIndex(position >= 0 && position < list.count() ? position : -1);
}

} // namespace

QStringList BaudRateItems() {
    return {"300",   "600",   "1200",  "2400",  "4800",   "9600",  "19200",
            "38400", "43000", "56000", "57600", "115200", "256000"};
}

TFrmSetComm::TFrmSetComm(SystemSettings& settings, QWidget* parent,
                         std::vector<SerialPortEntry> ports)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      PanStyle(new QWidget(this)), cbCommStyle(new QComboBox(PanStyle)), PanComm(new QWidget(this)),
      lblcommPort(new QLabel(QCoreApplication::translate("UDlgSetComm", "串口："), PanComm)),
      cbCommPort(new QComboBox(PanComm)),
      lblBaudRate(new QLabel(QCoreApplication::translate("UDlgSetComm", "波特率："), PanComm)),
      cbrate(new QComboBox(PanComm)),
      BtnOK(new QPushButton(QCoreApplication::translate("UDlgSetComm", "确定"), this)),
      BtnCancel(new QPushButton(QCoreApplication::translate("UDlgSetComm", "退出"), this)),
      settings_(settings), ports_(std::move(ports)) {
    setWindowTitle(QCoreApplication::translate("UDlgSetComm", "通讯设置"));

    auto* styleRow = new QHBoxLayout(PanStyle);
    styleRow->addWidget(
        new QLabel(QCoreApplication::translate("UDlgSetComm", "通讯方式："), PanStyle));
    styleRow->addWidget(cbCommStyle);
    cbCommStyle->addItems(
        {QStringLiteral("USB"), QCoreApplication::translate("UDlgSetComm", "串口")});
    PanStyle->hide();

    for (int port = 1; port <= 16; ++port)
        cbCommPort->addItem(QString::asprintf("COM%d", port));
    cbrate->addItems(BaudRateItems());

    auto* grid = new QGridLayout(PanComm);
    grid->addWidget(lblcommPort, 0, 0);
    grid->addWidget(cbCommPort, 0, 1);
    grid->addWidget(lblBaudRate, 1, 0);
    grid->addWidget(cbrate, 1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(PanStyle);
    column->addWidget(PanComm);
    column->addLayout(buttons);

    BtnOK->setDefault(true);
    connect(BtnOK, &QPushButton::clicked, this, &TFrmSetComm::BtnOKClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbCommStyle, &QComboBox::currentIndexChanged, this, &TFrmSetComm::cbCommStyleChange);
    connect(cbCommPort, &QComboBox::currentIndexChanged, this, &TFrmSetComm::ShowPortToolTip);

    Select(*cbCommStyle, settings_.giCommStyle);
    Select(*cbCommPort, settings_.giCommPort - 1);
    Select(*cbrate, settings_.giBaudRate - 1);
    cbCommStyleChange();
    ShowPortToolTip();
}

// Which device the chosen COMn is, beside the list, not in it: the list's
// items stay COM1 to COM16.
void TFrmSetComm::ShowPortToolTip() {
    const int number = cbCommPort->currentIndex() + 1;
    cbCommPort->setToolTip(number > 0 ? PortToolTip(ports_, number) : QString());
}

void TFrmSetComm::cbCommStyleChange() {
    const bool serial = cbCommStyle->currentIndex() != 0;
    for (QWidget* control :
         {static_cast<QWidget*>(cbCommPort), static_cast<QWidget*>(cbrate),
          static_cast<QWidget*>(lblcommPort), static_cast<QWidget*>(lblBaudRate)})
        control->setEnabled(serial);
}

void TFrmSetComm::BtnOKClick() {
    settings_.giCommStyle = 1;
    settings_.giCommPort = cbCommPort->currentIndex() + 1;
    settings_.giBaudRate = cbrate->currentIndex() + 1;
    accept();
}
