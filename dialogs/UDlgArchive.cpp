#include "UDlgArchive.h"

#include "ArchiveModel.h"
#include "Message.h"
#include "ParamLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

TFrmArchive::TFrmArchive(Archive& archive, std::function<void(const QString&, bool)> open,
                         QWidget* parent)
    : QDialog(parent), archive_(archive), open_(std::move(open)), model_(new ArchiveModel(this)),
      typing_(new QTimer(this)) {
    setWindowTitle(QCoreApplication::translate("UDlgArchive", "测试档案"));
    resize(900, 560);

    EdtPlace = new QLineEdit(this);
    EdtDevice = new QLineEdit(this);
    EdtUser = new QLineEdit(this);
    for (QLineEdit* edit : {EdtPlace, EdtDevice, EdtUser}) {
        edit->setClearButtonEnabled(true);
        connect(edit, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    }
    cbDates = new QCheckBox(QCoreApplication::translate("UDlgArchive", "测试日期"), this);
    EdtFrom = new QDateEdit(QDate::currentDate().addYears(-1), this);
    EdtTo = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit* edit : {EdtFrom, EdtTo}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setEnabled(false);
        connect(edit, &QDateEdit::dateChanged, this, &TFrmArchive::Refresh);
    }
    connect(cbDates, &QCheckBox::toggled, this, [this](bool on) {
        EdtFrom->setEnabled(on);
        EdtTo->setEnabled(on);
        Refresh();
    });
    cbStep = new QComboBox(this);
    cbStep->addItem(QCoreApplication::translate("UDlgArchive", "全部"));
    cbStep->addItems(TestStepItems());
    cbDirection = new QComboBox(this);
    cbDirection->addItems({QCoreApplication::translate("UDlgArchive", "全部"), QStringLiteral("->"),
                           QStringLiteral("<-")});
    for (QComboBox* box : {cbStep, cbDirection})
        connect(box, &QComboBox::currentIndexChanged, this, &TFrmArchive::Refresh);
    typing_->setSingleShot(true);
    typing_->setInterval(150); // one query after a burst of typing
    connect(typing_, &QTimer::timeout, this, &TFrmArchive::Refresh);

    auto* filters = new QFormLayout;
    auto* line1 = new QHBoxLayout;
    line1->addWidget(EdtPlace);
    line1->addWidget(new QLabel(QCoreApplication::translate("UDlgArchive", "被试设备"), this));
    line1->addWidget(EdtDevice);
    line1->addWidget(new QLabel(QCoreApplication::translate("UDlgArchive", "测试人员"), this));
    line1->addWidget(EdtUser);
    filters->addRow(QCoreApplication::translate("UDlgArchive", "测试地点"), line1);
    auto* line2 = new QHBoxLayout;
    line2->addWidget(EdtFrom);
    line2->addWidget(new QLabel(QCoreApplication::translate("UDlgArchive", "至"), this));
    line2->addWidget(EdtTo);
    line2->addSpacing(16);
    line2->addWidget(new QLabel(QCoreApplication::translate("UDlgArchive", "分接位置"), this));
    line2->addWidget(cbStep);
    line2->addWidget(new QLabel(QCoreApplication::translate("UDlgArchive", "方向"), this));
    line2->addWidget(cbDirection);
    line2->addStretch();
    filters->addRow(cbDates, line2);

    Grid = new QTableView(this);
    Grid->setModel(model_);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(22);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->horizontalHeader()->setSortIndicatorShown(true);
    Grid->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    Grid->horizontalHeader()->setSectionsClickable(true);
    Grid->setColumnWidth(ArchiveModel::Time, 150);
    Grid->setColumnWidth(ArchiveModel::Place, 140);
    Grid->setColumnWidth(ArchiveModel::Device, 180);
    // The archive sorts: a hundred thousand rows are never sorted here.
    connect(Grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        descending_ = column == sortColumn_ ? !descending_ : false;
        sortColumn_ = column;
        Grid->horizontalHeader()->setSortIndicator(column, descending_ ? Qt::DescendingOrder
                                                                       : Qt::AscendingOrder);
        Refresh();
    });
    connect(Grid, &QTableView::doubleClicked, this, [this] { BtnOpenClick(false); });

    LblCount = new QLabel(this);
    cbRestore = new QCheckBox(QCoreApplication::translate("UDlgArchive", "打开时恢复标记"), this);
    cbRestore->setToolTip(
        QCoreApplication::translate("UDlgArchive", "打开测试时自动恢复测试档案中保存的光标"));
    BtnOpen = new QPushButton(QCoreApplication::translate("UDlgArchive", "打开"), this);
    BtnOpenMarkers =
        new QPushButton(QCoreApplication::translate("UDlgArchive", "打开并恢复标记"), this);
    BtnAnnotate = new QPushButton(QCoreApplication::translate("UDlgArchive", "编辑注释"), this);
    BtnExport = new QPushButton(QCoreApplication::translate("UDlgArchive", "导出数据文件"), this);
    BtnBaseline = new QPushButton(QCoreApplication::translate("UDlgArchive", "设为基准"), this);
    BtnBaseline->setToolTip(QCoreApplication::translate(
        "UDlgArchive", "把选中的测试作为其分接位置的基准（再按一次取消）"));
    BtnSummary = new QPushButton(QCoreApplication::translate("UDlgArchive", "汇总"), this);
    BtnSummary->setToolTip(QCoreApplication::translate(
        "UDlgArchive", "按分接比较选中的测试（未选时为列出的全部测试）"));
    BtnSummary->setEnabled(false);
    BtnSummaryFolder =
        new QPushButton(QCoreApplication::translate("UDlgArchive", "汇总文件夹..."), this);
    BtnSummaryFolder->setToolTip(
        QCoreApplication::translate("UDlgArchive", "按分接比较一个文件夹中的全部测试"));
    BtnSummaryFolder->setEnabled(false);
    BtnClose = new QPushButton(QCoreApplication::translate("UDlgArchive", "关闭"), this);
    connect(BtnOpen, &QPushButton::clicked, this, [this] { BtnOpenClick(false); });
    connect(BtnOpenMarkers, &QPushButton::clicked, this, [this] { BtnOpenClick(true); });
    connect(BtnAnnotate, &QPushButton::clicked, this, &TFrmArchive::BtnAnnotateClick);
    connect(BtnExport, &QPushButton::clicked, this, [this] { BtnExportClick(); });
    connect(BtnBaseline, &QPushButton::clicked, this, &TFrmArchive::BtnBaselineClick);
    connect(BtnSummary, &QPushButton::clicked, this, &TFrmArchive::BtnSummaryClick);
    connect(BtnSummaryFolder, &QPushButton::clicked, this, [this] { BtnSummaryFolderClick(); });
    connect(BtnClose, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(LblCount);
    buttons->addStretch();
    buttons->addWidget(cbRestore);
    for (QPushButton* b : {BtnOpen, BtnOpenMarkers, BtnAnnotate, BtnExport, BtnBaseline, BtnSummary,
                           BtnSummaryFolder, BtnClose})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(Grid, 1);
    layout->addLayout(buttons);
    Refresh();
}

void TFrmArchive::SetSummarise(std::function<void(const QStringList&)> summarise) {
    summarise_ = std::move(summarise);
    BtnSummary->setEnabled(bool(summarise_));
}

void TFrmArchive::BtnSummaryClick() {
    if (!summarise_)
        return;
    QStringList ids = SelectedIds();
    if (ids.size() < 2) {
        ids.clear();
        for (int row = 0; row < model_->rowCount(); ++row)
            ids << model_->TestAt(row).id;
    }
    if (!ids.isEmpty())
        summarise_(ids);
}

void TFrmArchive::SetSummariseFolder(std::function<void(const QString&)> summarise) {
    summariseFolder_ = std::move(summarise);
    BtnSummaryFolder->setEnabled(bool(summariseFolder_));
}

void TFrmArchive::BtnSummaryFolderClick(const QString& folder) {
    if (!summariseFolder_)
        return;
    const QString chosen =
        !folder.isEmpty() ? folder
                          : QFileDialog::getExistingDirectory(
                                this, QCoreApplication::translate("UDlgArchive", "汇总文件夹"));
    if (!chosen.isEmpty())
        summariseFolder_(chosen);
}

bool TFrmArchive::BtnBaselineClick() {
    QList<ArchivedTest> chosen;
    for (const QModelIndex& index : Grid->selectionModel()->selectedRows())
        chosen << model_->TestAt(index.row());
    if (chosen.isEmpty())
        return false;
    const bool all =
        std::all_of(chosen.begin(), chosen.end(), [](const ArchivedTest& t) { return t.baseline; });
    for (const ArchivedTest& t : chosen)
        if (!archive_.SetBaseline(t.id, !all)) {
            ShowMessage(QCoreApplication::translate("UDlgArchive", "测试档案不能写入：") +
                            archive_.Error(),
                        MsgIcon::Warning);
            Refresh();
            return false;
        }
    Refresh();
    return true;
}

void TFrmArchive::SetRestoreChoice(bool restore, std::function<void(bool)> changed) {
    cbRestore->setChecked(restore);
    connect(cbRestore, &QCheckBox::toggled, this, std::move(changed));
}

ArchiveFilter TFrmArchive::Filter() const {
    ArchiveFilter filter;
    filter.place = EdtPlace->text().trimmed();
    filter.device = EdtDevice->text().trimmed();
    filter.user = EdtUser->text().trimmed();
    if (cbDates->isChecked()) {
        filter.from = EdtFrom->date();
        filter.to = EdtTo->date();
    }
    if (cbStep->currentIndex() > 0)
        filter.step = cbStep->currentIndex() - 1;
    if (cbDirection->currentIndex() > 0)
        filter.up = cbDirection->currentIndex() == 1;
    filter.sort = ArchiveModel::SortOf(sortColumn_);
    filter.descending = descending_;
    return filter;
}

void TFrmArchive::Refresh() {
    typing_->stop();
    const QStringList selected = SelectedIds();
    // A fleet's archive holds far more than a list can show at once: the
    // first rows in the chosen order, and a word to narrow the choice.
    constexpr int kShown = 20000;
    ArchiveFilter filter = Filter();
    filter.limit = kShown + 1;
    QList<ArchivedTest> tests = archive_.List(filter);
    const bool more = tests.size() > kShown;
    if (more)
        tests.resize(kShown);
    model_->SetTests(std::move(tests));
    const bool failed = archive_.LastFailure() != Archive::Failure::None;
    LblCount->setText(
        failed ? QCoreApplication::translate("UDlgArchive", "测试档案不能读取：") + archive_.Error()
        : more
            ? QCoreApplication::translate("UDlgArchive", "显示前 %1 次测试，请用条件缩小范围")
                  .arg(kShown)
            : QCoreApplication::translate("UDlgArchive", "共 %1 次测试").arg(model_->rowCount()));
    for (int row = 0; row < model_->rowCount(); ++row)
        if (selected.contains(model_->TestAt(row).id))
            Grid->selectionModel()->select(model_->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QStringList TFrmArchive::SelectedIds() const {
    QStringList ids;
    for (const QModelIndex& index : Grid->selectionModel()->selectedRows())
        ids << model_->TestAt(index.row()).id;
    return ids;
}

void TFrmArchive::SelectRow(int row) {
    Grid->selectionModel()->select(model_->index(row, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Grid->setCurrentIndex(model_->index(row, 0));
}

void TFrmArchive::BtnOpenClick(bool withMarkers) {
    const QModelIndex current = Grid->currentIndex();
    if (!current.isValid() || !open_)
        return;
    open_(model_->TestAt(current.row()).id, withMarkers);
}

bool TFrmArchive::AnnotateSelected(const AnnotationChange& change) {
    const QModelIndex current = Grid->currentIndex();
    if (!current.isValid())
        return false;
    if (!archive_.Annotate(model_->TestAt(current.row()).id, change)) {
        ShowMessage(QCoreApplication::translate("UDlgArchive", "测试档案不能写入：") +
                        archive_.Error(),
                    MsgIcon::Warning);
        return false;
    }
    Refresh();
    return true;
}

void TFrmArchive::BtnAnnotateClick() {
    const QModelIndex current = Grid->currentIndex();
    if (!current.isValid())
        return;
    const ArchivedTest& test = model_->TestAt(current.row());
    QDialog ask(this);
    ask.setWindowTitle(QCoreApplication::translate("UDlgArchive", "编辑注释"));
    auto* form = new QFormLayout(&ask);
    auto* device = new QLineEdit(test.device, &ask);
    auto* report = new QLineEdit(test.report, &ask);
    auto* remark = new QLineEdit(test.remark, &ask);
    device->setMinimumWidth(320);
    form->addRow(QCoreApplication::translate("UDlgArchive", "被试设备"), device);
    form->addRow(QCoreApplication::translate("UDlgArchive", "报告编号"), report);
    form->addRow(QCoreApplication::translate("UDlgArchive", "备注"), remark);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    buttons->button(QDialogButtonBox::Ok)
        ->setText(QCoreApplication::translate("UDlgArchive", "确定"));
    buttons->button(QDialogButtonBox::Cancel)
        ->setText(QCoreApplication::translate("UDlgArchive", "取消"));
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    form->addRow(buttons);
    if (ask.exec() != QDialog::Accepted)
        return;
    AnnotationChange change;
    if (device->text() != test.device)
        change.device = device->text();
    if (report->text() != test.report)
        change.report = report->text();
    if (remark->text() != test.remark)
        change.remark = remark->text();
    if (change.device || change.report || change.remark)
        AnnotateSelected(change);
}

void TFrmArchive::BtnExportClick(const QString& folder) {
    const QStringList ids = SelectedIds();
    if (ids.isEmpty())
        return;
    const QString target =
        folder.isEmpty() ? QFileDialog::getExistingDirectory(
                               this, QCoreApplication::translate("UDlgArchive", "导出数据文件"))
                         : folder;
    if (target.isEmpty())
        return;
    QStringList failures;
    const QStringList written = WriteTestsTo(archive_, ids, target, &failures);
    if (!failures.isEmpty())
        ShowMessage(QCoreApplication::translate("UDlgArchive", "导出数据文件失败！\n") +
                        failures.join(u'\n'),
                    MsgIcon::Warning);
    LblCount->setText(
        QCoreApplication::translate("UDlgArchive", "已导出 %1 个数据文件").arg(written.size()));
}
