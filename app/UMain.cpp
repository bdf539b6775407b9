#include "UMain.h"

#include "Application.h"
#include "Archive.h"
#include "ChartMath.h"
#include "ChartStyle.h"
#include "FileNames.h"
#include "Helpers.h"
#include "Message.h"
#include "ProgramFolder.h"
#include "TQRMain.h"
#include "UDataCenter.h"
#include "UDlgArchive.h"
#include "WaveChart.h"
#include "WindowLayout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <QWindow>

namespace {

using WindowLayout::kBottomRow;
using WindowLayout::kLeftColumn;
using WindowLayout::kRightColumn;
using WindowLayout::kSideStrip;
using WindowLayout::kTopRow;
constexpr int kRotationGroup = 277;
const QColor kSilver(192, 192, 192);

QWidget* Group(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return frame;
}

QLabel* TitleBar(QWidget* parent, const QString& text) {
    auto* title = new QLabel(text, parent);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title->setStyleSheet(QStringLiteral(
        "QLabel { color: white; font-weight: bold; padding-left: 6px;"
        " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #0a246a, stop:1 #a6caf0); }"));
    return title;
}

void MakeReadOnly(QWidget* box) {
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->setReadOnly(true);
    if (auto* memo = qobject_cast<QPlainTextEdit*>(box))
        memo->setReadOnly(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, kSilver);
    box->setPalette(pal);
}

} // namespace

TFrmMain::TFrmMain(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), dc_(UDataCenter()), programFolder_(programFolder) {
    setWindowTitle(AppTitle());
    setFont(Application::WindowFont());
    setAcceptDrops(true);
    BuildWindow();

    StatusPanels[0]->setText(QCoreApplication::translate("UMain", "设备已断开！"));
    LoadSettings(QDir(programFolder_).filePath(kSettingsFileName));
    tester_ = Tester(CommSettingsOf(dc_.settings)); // not connected, brand 1
    LockParamPanel();
    FillParamPanel();
    QRMain = std::make_unique<TQRMain>();
    ClearTestDisplay();
    Application::SetKeyHook([this](int key) { KeyHook(key); });
    dc_.record.HasData = false;
    ChartA->SetBackgroundColor(
        QColor(dc_.settings.gRColor, dc_.settings.gGColor, dc_.settings.gBColor));
    // The chart drops wheel events itself.
    layoutReady_ = false;
    paramsReady_ = true;
    pointFocused_ = timeFocused_ = false;
    ConnectHandlers();
    OpenArchive();

    setMinimumSize(800, 600);
    resize(WindowLayout::kWindowWidth, WindowLayout::kWindowHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() -
             QPoint(WindowLayout::kWindowWidth / 2, WindowLayout::kWindowHeight / 2));
    }
}

TFrmMain::~TFrmMain() {
    KeepMarkersNow();
    delete archiveWindow_; // it works on the archive, which goes first
    QRMain.reset();
    Application::SetKeyHook({});
    QString error;
    const QString path = QDir(programFolder_).filePath(kSettingsFileName);
    if (!SaveSettings(path, &error))
        ShowMessage(QStringLiteral("%1: %2").arg(VisibleText(path), error), MsgIcon::Error);
}

QString TFrmMain::TestFolder() const {
    return ::TestFolder(programFolder_);
}

void TFrmMain::BuildWindow() {
    central_ = new QWidget(this);
    setCentralWidget(central_);

    struct Command {
        QPushButton** button;
        const char* name;
        const char* caption;
        int x, width;
    };
    const Command commands[] = {
        {&btnUpdateList, "btnUpdateList", QT_TRANSLATE_NOOP("UMain", "连接设备"), 24, 89},
        {&BtnSampleData, "BtnSampleData", QT_TRANSLATE_NOOP("UMain", "上传数据"), 128, 89},
        {&BtnExport, "BtnExport", QT_TRANSLATE_NOOP("UMain", "导出"), 232, 75},
        {&BtnSave, "BtnSave", QT_TRANSLATE_NOOP("UMain", "保存"), 320, 75},
        {&BtnOpen, "BtnOpen", QT_TRANSLATE_NOOP("UMain", "打开"), 408, 75},
        {&BtnPrint, "BtnPrint", QT_TRANSLATE_NOOP("UMain", "打印"), 496, 75},
        {&BtnSetComm, "BtnSetComm", QT_TRANSLATE_NOOP("UMain", "通讯设置"), 584, 89},
        {&BtnColor, "BtnColor", QT_TRANSLATE_NOOP("UMain", "曲线背景色"), 690, 75},
        {&BtnExit, "BtnExit", QT_TRANSLATE_NOOP("UMain", "退出"), 784, 75},
    };
    for (const Command& c : commands) {
        *c.button = new QPushButton(QCoreApplication::translate("UMain", c.caption), central_);
        (*c.button)->setObjectName(QString::fromLatin1(c.name));
        (*c.button)->setGeometry(c.x, 5, c.width, 25);
    }
    BtnSampleData->setEnabled(false);

    titleParams_ = TitleBar(central_, QCoreApplication::translate("UMain", "测试参数"));
    panParams_ = Group(central_);
    BuildParamPanel(panParams_);

    titleSystem_ = TitleBar(central_, QCoreApplication::translate("UMain", "系统设置"));
    panSystem_ = Group(central_);
    titleCursor_ = TitleBar(central_, QCoreApplication::translate("UMain", "光标信息"));
    panCursor_ = Group(central_);
    panInvert_ = Group(central_);

    panChart_ = new QWidget(central_);
    ChartA = new TWaveChart(panChart_);

    BuildResults();
    BuildBottomRow();

    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(this);
        StatusPanels[i]->setFixedWidth(std::array{500, 200, 50}[i]);
        statusBar()->addWidget(StatusPanels[i]);
    }
    LblBaseline = new QLabel(this);
    LblBaseline->setObjectName(QStringLiteral("LblBaseline"));
    // What does not fit is cut, never widening the window; the tool tip has it all.
    LblBaseline->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    LblBaseline->hide();
    statusBar()->addPermanentWidget(LblBaseline, 1);
}

// A box with its caption to the left and any unit after it: the caption
// text carries the unit after a run of blanks that the box stands over.
namespace {
struct Captioned {
    QLabel* caption;
    std::vector<QLabel*> units;
};

Captioned CaptionBoxes(QWidget* group, const QString& text, const std::vector<QWidget*>& boxes,
                       int captionX) {
    // The caption runs to its colon (full width in Chinese); what follows
    // are the units, one per box.
    static const QRegularExpression colons(QStringLiteral("[：:]"));
    const qsizetype colon = text.indexOf(colons);
    static const QRegularExpression blanks(QStringLiteral(" +"));
    const QStringList units = text.mid(colon + 1).split(blanks, Qt::SkipEmptyParts);
    Captioned c{new QLabel(text.left(colon + 1), group), {}};
    c.caption->move(captionX, 0);
    c.caption->setAccessibleName(text);
    for (qsizetype i = 0; i < units.size() && i < qsizetype(boxes.size()); ++i) {
        auto* unit = new QLabel(units[i], group);
        const QWidget* box = boxes[i];
        unit->move(box->x() + box->width() + 4, 0);
        c.units.push_back(unit);
    }
    return c;
}
} // namespace

void TFrmMain::BuildParamPanel(QWidget* panel) {
    const auto combo = [&](QComboBox** box, const char* name, int row, int offset) {
        *box = new QComboBox(panel);
        (*box)->setObjectName(QString::fromLatin1(name));
        // Short lists are as wide as the edit boxes, so a unit fits after them.
        (*box)->setGeometry(80, 0, name == std::string_view("cbChargeTime") ? 70 : 97, 20);
        rows_.push_back({*box, row, offset});
        return *box;
    };
    const auto edit = [&](QLineEdit** box, const char* name, int x, int row, int offset) {
        *box = new QLineEdit(panel);
        (*box)->setObjectName(QString::fromLatin1(name));
        (*box)->setGeometry(x, 0, 70, 20);
        rows_.push_back({*box, row, offset});
        return *box;
    };
    const auto caption = [&](const QString& text, std::vector<QWidget*> boxes, int row,
                             int offset) {
        const Captioned c = CaptionBoxes(panel, text, boxes, 8);
        rows_.push_back({c.caption, row, offset});
        for (QLabel* unit : c.units)
            rows_.push_back({unit, row, offset});
    };
    caption(QCoreApplication::translate("UMain", "开关类型："),
            {combo(&cbSwitchType, "cbSwitchType", 1, -12)}, 1, -8);
    caption(QCoreApplication::translate("UMain", "测试方式："),
            {combo(&cbTestMode, "cbTestMode", 2, -8)}, 2, -4);
    caption(QCoreApplication::translate("UMain", "测试档位："),
            {combo(&cbTestStep, "cbTestStep", 3, -4)}, 3, 0);
    caption(QCoreApplication::translate("UMain", "滤波深度："),
            {combo(&cbSampleLength, "cbSampleLength", 4, 0)}, 4, 4);
    caption(QCoreApplication::translate("UMain", "充电时间：               S"),
            {combo(&cbChargeTime, "cbChargeTime", 5, 4)}, 5, 8);
    caption(QCoreApplication::translate("UMain", "采样触发：              Ω"),
            {edit(&EdtSampleBurst, "EdtSampleBurst", 80, 6, 8)}, 6, 12);
    caption(QCoreApplication::translate("UMain", "波形    ："),
            {combo(&cbSeriesType, "cbSeriesType", 7, 12)}, 7, 16);
    caption(QCoreApplication::translate("UMain", "预采样  ：               点"),
            {edit(&EdtSamplePoint, "EdtSamplePoint", 80, 8, 16)}, 8, 20);
    caption(QStringLiteral("               mS"), {edit(&EdtSampleTime, "EdtSampleTime", 80, 9, 20)},
            9, 24);
    BtnTest = new QPushButton(QCoreApplication::translate("UMain", "开始充电"), panel);
    BtnTest->setObjectName(QStringLiteral("BtnTest"));
    BtnTest->setGeometry(80, 0, 75, 25);
    rows_.push_back({BtnTest, 9, 43});
    for (QLineEdit* box : {EdtSampleBurst, EdtSamplePoint, EdtSampleTime})
        box->installEventFilter(this);
}

void TFrmMain::BuildResults() {
    // The system group and the read-out.
    const auto place = [&](QWidget* group, QLineEdit** box, const char* name, const QString& text,
                           int x, int row, bool readOnly) {
        *box = new QLineEdit(group);
        (*box)->setObjectName(QString::fromLatin1(name));
        (*box)->setGeometry(x, 0, 70, 20);
        if (readOnly)
            MakeReadOnly(*box);
        rows_.push_back({*box, row, 0});
        const Captioned c = CaptionBoxes(group, text, {*box}, 8);
        rows_.push_back({c.caption, row, 4});
        for (QLabel* unit : c.units)
            rows_.push_back({unit, row, 4});
        return *box;
    };
    place(panSystem_, &EdtUser, "EdtUser", QCoreApplication::translate("UMain", "测试人员："), 80,
          1, false);
    place(panSystem_, &EdtAddr, "EdtAddr", QCoreApplication::translate("UMain", "测试地点："), 80,
          2, false);
    MemoTime = new QPlainTextEdit(panSystem_);
    MemoTime->setObjectName(QStringLiteral("MemoTime"));
    MemoTime->setGeometry(80, 0, 70, 36);
    MemoTime->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoTime->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoTime->document()->setDocumentMargin(1);
    MakeReadOnly(MemoTime);
    rows_.push_back({MemoTime, 3, 4});
    auto* timeCaption = new QLabel(QCoreApplication::translate("UMain", "测试时间："), panSystem_);
    timeCaption->move(8, 0);
    rows_.push_back({timeCaption, 3, 4});

    place(panCursor_, &EdtMouseTime, "EdtMouseTime",
          QCoreApplication::translate("UMain", "时间    ：               mS"), 80, 1, true);
    place(panCursor_, &EdtXA, "EdtXA",
          QCoreApplication::translate("UMain", "相序A   ：               Ω"), 80, 2, true);
    place(panCursor_, &EdtXB, "EdtXB",
          QCoreApplication::translate("UMain", "相序B   ：               Ω"), 80, 3, true);
    place(panCursor_, &EdtXC, "EdtXC",
          QCoreApplication::translate("UMain", "相序C   ：               Ω"), 80, 4, true);

    cbInverted = new QCheckBox(panInvert_);
    cbInverted->setObjectName(QStringLiteral("cbInverted"));
    cbInverted->move(80, 0);
    auto* invertCaption =
        new QLabel(QCoreApplication::translate("UMain", "曲线反转："), panInvert_);
    invertCaption->setObjectName(QStringLiteral("lblInverted"));
    invertCaption->move(8, 0);

    // The phase groups of the results column.
    static const char* const letters[3] = {"A", "B", "C"};
    static const char* const rowsText[6] = {QT_TRANSLATE_NOOP("UMain", "T1：               mS"),
                                            QT_TRANSLATE_NOOP("UMain", "T2：               mS"),
                                            QT_TRANSLATE_NOOP("UMain", "T3：               mS"),
                                            QT_TRANSLATE_NOOP("UMain", "T ：               mS"),
                                            QT_TRANSLATE_NOOP("UMain", "R1：               Ω"),
                                            QT_TRANSLATE_NOOP("UMain", "R2：               Ω")};
    static const char* const suffix[6] = {"T1", "T2", "T3", "T", "R1", "R2"};
    for (int p = 0; p < 3; ++p) {
        titlePhase_[p] =
            TitleBar(central_, QCoreApplication::translate("UMain", "相 序 %1").arg(letters[p]));
        panPhase_[p] = Group(central_);
        for (int i = 0; i < 6; ++i) {
            const QByteArray name = QByteArray("Edt") + letters[p] + suffix[i];
            place(panPhase_[p], &ResultBoxes[6 * p + i], name.constData(),
                  QCoreApplication::translate("UMain", rowsText[i]), 48, i + 1, true);
        }
    }
}

void TFrmMain::BuildBottomRow() {
    BtnAutoMarkers = new QPushButton(QCoreApplication::translate("UMain", "自动定位"), central_);
    BtnAutoMarkers->setObjectName(QStringLiteral("BtnAutoMarkers"));
    BtnAutoMarkers->setToolTip(QCoreApplication::translate("UMain", "按波形自动放置光标 (Ctrl+M)"));
    auto* autoKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), this);
    connect(autoKey, &QShortcut::activated, this, [this] { BtnAutoMarkersClick(); });
    connect(BtnAutoMarkers, &QPushButton::clicked, this, [this] { BtnAutoMarkersClick(); });
    BtnRestoreMarkers = new QPushButton(QCoreApplication::translate("UMain", "恢复标记"), central_);
    BtnRestoreMarkers->setObjectName(QStringLiteral("BtnRestoreMarkers"));
    BtnRestoreMarkers->setToolTip(
        QCoreApplication::translate("UMain", "恢复测试档案中保存的光标 (Ctrl+R)"));
    auto* restoreKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
    connect(restoreKey, &QShortcut::activated, this, [this] { BtnRestoreMarkersClick(); });
    connect(BtnRestoreMarkers, &QPushButton::clicked, this, [this] { BtnRestoreMarkersClick(); });
    BtnArchive = new QPushButton(QCoreApplication::translate("UMain", "测试档案"), central_);
    BtnArchive->setObjectName(QStringLiteral("BtnArchive"));
    BtnArchive->setToolTip(QCoreApplication::translate("UMain", "保存过的全部测试 (Ctrl+D)"));
    auto* archiveKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    connect(archiveKey, &QShortcut::activated, this, [this] { BtnArchiveClick(); });
    connect(BtnArchive, &QPushButton::clicked, this, [this] { BtnArchiveClick(); });
    BtnBaseline = new QPushButton(QCoreApplication::translate("UMain", "对比基准"), central_);
    BtnBaseline->setObjectName(QStringLiteral("BtnBaseline"));
    BtnBaseline->setToolTip(
        QCoreApplication::translate("UMain", "把基准测试的波形画在当前波形之下并比较 (Ctrl+B)"));
    auto* languageKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(languageKey, &QShortcut::activated, this, [this] { ChooseLanguageClick(); });
    auto* baselineKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_B), this);
    connect(baselineKey, &QShortcut::activated, this, [this] { BtnBaselineClick(); });
    connect(BtnBaseline, &QPushButton::clicked, this, [this] { BtnBaselineClick(); });

    panChoice_ = Group(central_);
    panRotation_ = Group(central_);
    panSpread1_ = Group(central_);
    panSpread2_ = Group(central_);

    const auto phaseButton = [&](QToolButton** button, const char* name, const char* text,
                                 const QColor& color, int x) {
        *button = new QToolButton(panChoice_);
        (*button)->setObjectName(QString::fromLatin1(name));
        (*button)->setText(QCoreApplication::translate("UMain", text));
        (*button)->setCheckable(true);
        (*button)->setGeometry(x, 0, 52, 22);
        QFont font(SansSerifFamily());
        font.setPointSize(8);
        (*button)->setFont(font);
        QPalette pal = (*button)->palette();
        pal.setColor(QPalette::ButtonText, color);
        (*button)->setPalette(pal);
        rows_.push_back({*button, 1, 0});
    };
    phaseButton(&SBat, "SBat", QT_TRANSLATE_NOOP("UMain", "相序A"), QColor(128, 128, 0), 8);
    phaseButton(&sbbt, "sbbt", QT_TRANSLATE_NOOP("UMain", "相序B"), QColor(0, 128, 0), 64);
    phaseButton(&sbct, "sbct", QT_TRANSLATE_NOOP("UMain", "相序C"), QColor(255, 0, 0), 120);
    SBat->setChecked(true);

    RGT = new QButtonGroup(this);
    RGT->setExclusive(true);
    auto* rgtBox = new QFrame(panChoice_);
    rgtBox->setObjectName(QStringLiteral("RGT"));
    rgtBox->setGeometry(8, 0, 164, 24);
    for (int j = 0; j < 4; ++j) {
        auto* radio = new QRadioButton(QStringLiteral("t%1").arg(j + 1), rgtBox);
        radio->setGeometry(2 + 40 * j, 2, 40, 20);
        RGT->addButton(radio, j);
    }
    rows_.push_back({rgtBox, 2, 0});

    const auto spread = [&](QWidget* group, int index, const char* name, const char* text,
                            int row) {
        QLineEdit*& box = ResultBoxes[index];
        box = new QLineEdit(group);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(48, 0, 70, 20);
        MakeReadOnly(box);
        rows_.push_back({box, row, 0});
        const Captioned c =
            CaptionBoxes(group, QCoreApplication::translate("UMain", text), {box}, 8);
        rows_.push_back({c.caption, row, 4});
        for (QLabel* unit : c.units)
            rows_.push_back({unit, row, 4});
    };
    // ResultBoxes order: 18 phase boxes, then dT1 dT2 dT3 dT0 dR1 dR2 Loops Angle.
    spread(panSpread1_, 21, "EdtDT", QT_TRANSLATE_NOOP("UMain", "△T0：               mS"), 1);
    spread(panSpread1_, 19, "EdtDT2", QT_TRANSLATE_NOOP("UMain", "△T2：               mS"), 2);
    spread(panSpread1_, 22, "EdtDR1", QT_TRANSLATE_NOOP("UMain", "△R1：               Ω"), 3);
    spread(panSpread2_, 18, "EdtDT1", QT_TRANSLATE_NOOP("UMain", "△T1：               mS"), 1);
    spread(panSpread2_, 20, "EdtDT3", QT_TRANSLATE_NOOP("UMain", "△T3：               mS"), 2);
    spread(panSpread2_, 23, "EdtDR2", QT_TRANSLATE_NOOP("UMain", "△R2：               Ω"), 3);

    for (int i : {24, 25}) {
        QLineEdit*& box = ResultBoxes[i];
        box = new QLineEdit(panRotation_);
        box->setObjectName(i == 24 ? QStringLiteral("EdtLoop") : QStringLiteral("EdtAngle"));
        box->setGeometry(i == 24 ? 48 : 152, 0, 70, 20);
        MakeReadOnly(box);
        rows_.push_back({box, 3, 0});
    }
    const Captioned c = CaptionBoxes(
        panRotation_,
        QCoreApplication::translate("UMain", "转角：               圈               度"),
        {ResultBoxes[24], ResultBoxes[25]}, 8);
    rows_.push_back({c.caption, 3, 4});
    for (QLabel* unit : c.units)
        rows_.push_back({unit, 3, 4});
}

void TFrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!layoutReady_ && windowHandle()) {
        // No larger than the screen it stands on, also after it moves to another.
        const auto fitScreen = [this](QScreen* s) {
            if (s)
                setMaximumSize(s->size());
        };
        fitScreen(windowHandle()->screen());
        connect(windowHandle(), &QWindow::screenChanged, this, fitScreen);
    }
    layoutReady_ = true;
    LayoutWindow();
}

void TFrmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (layoutReady_)
        LayoutWindow();
}

void TFrmMain::LayoutWindow() {
    const QSize chart = WindowLayout::ChartSize(central_->size());
    const int middle = chart.height();
    const int chartX = kSideStrip + kLeftColumn;
    const int chartWidth = chart.width();
    panChart_->setGeometry(chartX, kTopRow, chartWidth, middle);
    ChartA->setGeometry(0, 0, chartWidth, middle);

    layout_ = ComputeLayout(ChartA->height());
    const LayoutMetrics& m = layout_;

    // Left column.
    int y = kTopRow;
    const auto stack = [&y](QWidget* w, int x, int columnWidth, int height) {
        w->setGeometry(x, y, columnWidth, height);
        y += height;
    };
    stack(titleParams_, kSideStrip, kLeftColumn, m.paramTitle);
    stack(panParams_, kSideStrip, kLeftColumn, m.paramPanel);
    stack(titleSystem_, kSideStrip, kLeftColumn, m.paramTitle);
    stack(panSystem_, kSideStrip, kLeftColumn, m.systemGroup);
    stack(titleCursor_, kSideStrip, kLeftColumn, m.cursorTitle);
    stack(panCursor_, kSideStrip, kLeftColumn, m.cursorGroup);
    stack(panInvert_, kSideStrip, kLeftColumn, m.invertGroup);

    // Results column.
    const int rightX = chartX + chartWidth;
    y = kTopRow;
    for (int p = 0; p < 3; ++p) {
        stack(titlePhase_[p], rightX, kRightColumn, p == 0 ? m.titleA : m.titleBC);
        stack(panPhase_[p], rightX, kRightColumn, m.resultGroup);
    }

    // Bottom row: the spreads and rotation stand right-aligned under the chart.
    const int bottomY = kTopRow + middle;
    panChoice_->setGeometry(kSideStrip, bottomY, kLeftColumn, kBottomRow);
    panSpread1_->setGeometry(rightX - kLeftColumn, bottomY, kLeftColumn, kBottomRow);
    panRotation_->setGeometry(rightX - kLeftColumn - kRotationGroup, bottomY, kRotationGroup,
                              kBottomRow);
    panSpread2_->setGeometry(rightX, bottomY, kRightColumn, kBottomRow);
    // The marker command stands in the free space between the phase choice
    // and the rotation, where there is room for it.
    const int freeLeft = kSideStrip + kLeftColumn,
              freeRight = rightX - kLeftColumn - kRotationGroup;
    const int buttonWidth = std::min(89, freeRight - freeLeft - 12);
    BtnAutoMarkers->setVisible(buttonWidth >= 60);
    BtnAutoMarkers->setGeometry(freeLeft + (freeRight - freeLeft - buttonWidth) / 2, bottomY + 12,
                                std::max(0, buttonWidth), 25);
    // The archive's commands with it: side by side where there is room for
    // four, in two columns where there is for two, else one under the other
    // in the row's height.
    const QList<QPushButton*> commands = {BtnAutoMarkers, BtnRestoreMarkers, BtnArchive,
                                          BtnBaseline};
    const int room = freeRight - freeLeft - 12;
    const int columns = room >= 4 * 89 + 3 * 6 ? 4 : room >= 2 * 89 + 6 ? 2 : 1;
    const int rows = 4 / columns, pitch = rows == 4 ? 24 : 30, height = rows == 4 ? 22 : 25;
    const int across = columns == 1 ? buttonWidth : 89;
    const int left = freeLeft + (freeRight - freeLeft - (columns * (across + 6) - 6)) / 2;
    const int top = bottomY + (kBottomRow - (rows * pitch - (pitch - height))) / 2;
    for (int i = 0; i < commands.size(); ++i) {
        commands[i]->setVisible(buttonWidth >= 60);
        commands[i]->setGeometry(left + (i % columns) * (across + 6), top + (i / columns) * pitch,
                                 std::max(0, across), height);
    }

    PlaceRows();
    const int boxTop = int(std::ceil((2 * double(m.b) / 36 - cbInverted->height()) / 2));
    cbInverted->move(cbInverted->x(), boxTop);
    if (auto* caption = panInvert_->findChild<QLabel*>(QStringLiteral("lblInverted")))
        caption->move(caption->x(), boxTop + 4);
    RelayRuler();
}

void TFrmMain::PlaceRows() {
    for (const RowPlace& place : rows_)
        place.widget->move(place.widget->x(), layout_.R[place.row] + place.offset);
}

void TFrmMain::RelayRuler() {
    ChartA->RelayRuler(MaxSample(dc_.record));
}
