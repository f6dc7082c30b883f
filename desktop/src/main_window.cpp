#include "main_window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

#include "about_box.hpp"
#include "file_ops.hpp"
#include "inspection_options.hpp"
#include "look.hpp"
#include "texts.hpp"

namespace oxtarn {

namespace {

// The drop target of the grid: hands the local files of a drop on.
class FileDropTarget : public QObject {
public:
    FileDropTarget(QWidget* area, std::function<void(const QStringList&)> onDrop)
        : QObject(area), onDrop_(std::move(onDrop)) {
        area->setAcceptDrops(true);
        area->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!paths(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
            else drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList dropped = paths(drop->mimeData());
            if (dropped.isEmpty()) return true;
            drop->acceptProposedAction();
            // Let the file manager finish its part of the drop first.
            QTimer::singleShot(0, this, [this, dropped] { onDrop_(dropped); });
            return true;
        }
        default: return false;
        }
    }

private:
    static QStringList paths(const QMimeData* data) {
        QStringList list;
        if (!data) return list;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) list << url.toLocalFile();
        return list;
    }

    std::function<void(const QStringList&)> onDrop_;
};

const QString kTicked = QStringLiteral("1");
const QString kUnticked = QStringLiteral("0");

}  // namespace

// While a drop or a change runs: the busy cursor, the grid and the list
// commands disabled, and no second drop or change started from a message box.
class TForm1::Busy {
public:
    explicit Busy(TForm1& window) : w_(window) {
        w_.busy_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        w_.CtrlGrid1->setEnabled(false);
        w_.listClear_->setEnabled(false);
        w_.changeExt_->setEnabled(false);
    }
    ~Busy() {
        QApplication::restoreOverrideCursor();
        w_.CtrlGrid1->setEnabled(!w_.engineMissing_);
        w_.listClear_->setEnabled(!w_.engineMissing_);
        w_.busy_ = false;
        w_.Timer1Timer();
    }

private:
    TForm1& w_;
};

TForm1::TForm1(TForm1Setup setup, QWidget* parent) : QMainWindow(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("Form1"));
    resize(744, 376);
    QPalette p = palette();
    p.setColor(QPalette::Window, windowColour());
    setPalette(p);

    CtrlGrid1 = new QTableWidget(this);
    CtrlGrid1->setObjectName(QStringLiteral("CtrlGrid1"));
    CtrlGrid1->setColumnCount(kColumnCount);
    CtrlGrid1->verticalHeader()->hide();
    CtrlGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    CtrlGrid1->horizontalHeader()->setStretchLastSection(false);
    CtrlGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);  // the text cells are read-only
    CtrlGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    CtrlGrid1->setToolTipDuration(kHintHideDelay);
    CtrlGrid1->viewport()->setToolTipDuration(kHintHideDelay);
    setCentralWidget(CtrlGrid1);
    new FileDropTarget(CtrlGrid1->viewport(), [this](const QStringList& paths) { DropDst1FileDrop(paths); });

    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);

    buildToolbars();

    about_ = std::make_unique<TfrmVersion>(VersionInfo(setup_.version));
    connect(about_.get(), &TfrmVersion::shown, this, [this] { setEnabled(false); });
    connect(about_.get(), &TfrmVersion::closing, this, [this] { setEnabled(true); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::buildToolbars() {
    auto* toolbar1 = addToolBar(text::kToolbox);
    toolbar1->setObjectName(QStringLiteral("ToolBar1"));
    toolbar1->setFloatable(false);
    toolbar1->addAction(text::kBootShell, this, &TForm1::TB_BootShellClick);
    toolbar1->addSeparator();

    auto addCheckMenu = [&](const QString& caption, const QStringList& items, void (TForm1::*handler)(int),
                            QList<QAction*>& actions) {
        auto* button = new QToolButton(toolbar1);
        button->setText(caption);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
        auto* menu = new QMenu(button);
        auto* group = new QActionGroup(menu);
        group->setExclusive(true);
        for (int i = 0; i < items.size(); ++i) {
            QAction* item = menu->addAction(items[i]);
            item->setCheckable(true);
            group->addAction(item);
            connect(item, &QAction::triggered, this, [this, handler, i] { (this->*handler)(i); });
            actions << item;
        }
        actions.first()->setChecked(true);
        button->setMenu(menu);
        toolbar1->addWidget(button);
    };
    addCheckMenu(text::kSampleMenu, options::sampleLengthCaptions(), &TForm1::chooseSampleLength, sampleItems_);
    addCheckMenu(text::kMethodMenu, options::methodCaptions(), &TForm1::chooseMethod, methodItems_);

    auto* toolbar3 = addToolBar(QString());
    toolbar3->setObjectName(QStringLiteral("ToolBar3"));
    toolbar3->setFloatable(false);
    toolbar3->addAction(text::kVersion, this, &TForm1::TB_VersionClick);
    toolbar3->addAction(text::kHelp, this, &TForm1::TBItem1Click);
    toolbar3->addAction(text::kQuit, this, &QWidget::close);

    addToolBarBreak(Qt::TopToolBarArea);
    auto* toolbar2 = addToolBar(QString());
    toolbar2->setObjectName(QStringLiteral("ToolBar2"));
    toolbar2->setFloatable(false);
    listClear_ = toolbar2->addAction(text::kListClear, this, &TForm1::TB_ListClearClick);
    toolbar2->addSeparator();
    changeExt_ = toolbar2->addAction(text::kChangeExt, this, &TForm1::TB_ChangeExtClick);
    changeExt_->setEnabled(false);
}

void TForm1::FormCreate() {
    TB_ListClearClick();
    const int version = setup_.engine.version();
    if (version != 0) {
        status_->setText(text::kVersionPrefix + versionText(version));
    } else {
        engineMissing_ = true;
        say(MessageSink::Icon::Error, text::kEngineMissing);
        CtrlGrid1->setEnabled(false);
        CtrlGrid1->hide();
        listClear_->setEnabled(false);
        changeExt_->setEnabled(false);
    }
    setWindowTitle(text::kAppTitle);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
    FormShow();
}

void TForm1::FormShow() {
    settings_.emplace(setup_.settingsPath);
    const options::StoredChoices stored = options::readStoredChoices(*settings_);
    if (stored.sampleLength) chooseSampleLength(*stored.sampleLength);
    if (stored.method) chooseMethod(*stored.method);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (say(MessageSink::Icon::Question, text::kCloseQuestion, MessageSink::Buttons::OkCancel) !=
        MessageSink::Answer::Ok) {
        event->ignore();
        return;
    }
    settings_.reset();
    event->accept();
}

void TForm1::chooseSampleLength(int position) {
    if (position < 0 || position >= sampleItems_.size()) return;
    for (int i = 0; i < sampleItems_.size(); ++i) sampleItems_[i]->setChecked(i == position);
    setup_.engine.setSampleLength(options::kSampleLengths[position]);
    if (settings_) options::storeSampleLength(*settings_, position);  // a read-only file changes nothing
}

void TForm1::chooseMethod(int position) {
    if (position < 0 || position >= methodItems_.size()) return;
    for (int i = 0; i < methodItems_.size(); ++i) methodItems_[i]->setChecked(i == position);
    setup_.engine.setOptions(options::kMethodBits[position]);
    if (settings_) options::storeMethod(*settings_, position);
}

MessageSink::Answer TForm1::say(MessageSink::Icon icon, const QString& text, MessageSink::Buttons buttons) {
    if (!setup_.messages) return MessageSink::Answer::Cancel;
    return setup_.messages->show(icon, text::kAppTitle, text, buttons);
}

QString TForm1::statusText() const { return status_->text(); }

QCheckBox* TForm1::tickBox(int row) const { return row >= 1 && row <= controls_.size() ? controls_[row - 1].tick.data() : nullptr; }

QComboBox* TForm1::choiceBox(int row) const {
    return row >= 1 && row <= controls_.size() ? controls_[row - 1].choice.data() : nullptr;
}

void TForm1::setCell(int row, int column, const QString& text, bool fit) {
    table_.setCell(row, column, text);
    if (row == 0) {
        CtrlGrid1->setHorizontalHeaderItem(column, new QTableWidgetItem(text));
    } else if (column == kTick) {
        if (QCheckBox* box = tickBox(row)) box->setChecked(text == kTicked);
    } else if (column == kChosen) {
        if (QComboBox* box = choiceBox(row)) box->setCurrentIndex(box->findText(text));
    } else if (row - 1 < CtrlGrid1->rowCount()) {
        QTableWidgetItem* item = CtrlGrid1->item(row - 1, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            CtrlGrid1->setItem(row - 1, column, item);
        }
        item->setText(text);
    }
    if (fit) fitColumn(column);
}

void TForm1::fitColumn(int column) {
    const QFontMetrics metrics = CtrlGrid1->fontMetrics();
    const QFontMetrics headerMetrics = CtrlGrid1->horizontalHeader()->fontMetrics();
    int width = std::max(10, headerMetrics.horizontalAdvance(table_.cell(0, column)));
    for (int row = 0; row < table_.rowCount(); ++row)
        width = std::max(width, metrics.horizontalAdvance(table_.cell(row, column)));
    if (column == kChosen)
        for (const RowControls& c : controls_)
            if (c.choice) width = std::max(width, c.choice->sizeHint().width() - 12);
    CtrlGrid1->setColumnWidth(column, width + 12);
}

void TForm1::TB_ListClearClick() {
    if (busy_) return;
    table_.clear();
    controls_.clear();
    CtrlGrid1->setRowCount(0);  // releases the row controls
    CtrlGrid1->setRowCount(table_.rowCount() - 1);
    for (int column = 0; column < kColumnCount; ++column) setCell(0, column, gridHeaders()[column]);
}

void TForm1::addRowControls(int row) {
    auto* choice = new QComboBox;
    choice->setObjectName(controlName(row));
    connect(choice, &QComboBox::activated, this, [this, choice] { cmbExtensionChange(choice); });
    auto* tick = new QCheckBox;
    tick->setChecked(false);
    QPalette p = tick->palette();
    p.setColor(QPalette::Text, QColor(0, 128, 0));  // the check mark
    tick->setPalette(p);
    connect(tick, &QCheckBox::clicked, this, [this, row](bool on) { tickChanged(row, on); });
    CtrlGrid1->setCellWidget(row - 1, kChosen, choice);
    CtrlGrid1->setCellWidget(row - 1, kTick, tick);
    if (controls_.size() < row) controls_.resize(row);
    controls_[row - 1] = {tick, choice};
}

void TForm1::tickChanged(int row, bool ticked) { table_.setCell(row, kTick, ticked ? kTicked : kUnticked); }

void TForm1::cmbExtensionChange(QComboBox* box) {
    const int row = rowOfControlName(box->objectName());
    if (row < 1 || row > table_.fileCount()) return;
    const QString chosen = box->currentText();
    table_.setCell(row, kChosen, chosen);
    setCell(row, kTick, chosen == text::kNoChange ? kUnticked : kTicked);
}

void TForm1::chooseEntry(int row, const QString& entry) {
    QComboBox* box = choiceBox(row);
    if (!box) return;
    const int index = box->findText(entry);
    if (index < 0) return;
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void TForm1::DropDst1FileDrop(const QStringList& paths) {
    if (busy_ || engineMissing_) return;
    Busy busy(*this);
    for (const QString& path : paths) {
        QCoreApplication::processEvents();
        listFile(QDir::isRelativePath(path) ? QDir::current().absoluteFilePath(path) : path);
    }
}

void TForm1::listFile(const QString& dropped) {
    if (QFileInfo(dropped).isDir()) return;
    const QString path = QDir::toNativeSeparators(dropped);
    const int row = table_.addFile(path);
    if (CtrlGrid1->rowCount() < table_.rowCount() - 1) CtrlGrid1->setRowCount(table_.rowCount() - 1);
    addRowControls(row);
    setCell(row, kTick, kUnticked);
    setCell(row, kPath, path);
    setCell(row, kPresentExt, table_.cell(row, kPresentExt));

    tFileInfoData info;
    setup_.engine.identify(path, info);
    QCoreApplication::processEvents();

    const QStringList choices = choicesFor(info.extension);
    table_.setChoices(row, choices);
    if (QComboBox* box = choiceBox(row)) box->addItems(choices);
    setCell(row, kChosen, text::kNoChange);
    setCell(row, kDescription, info.description);
    setCell(row, kDetail, info.detail);
    setCell(row, kCrc16, setup_.engine.fileCrc16Text(path));
    setCell(row, kCrc32, setup_.engine.fileCrc32Text(path));
}

void TForm1::Timer1Timer() {
    const bool hasFiles = table_.fileCount() != 0;
    changeExt_->setEnabled(hasFiles && !busy_ && !engineMissing_);
    const QString hint = hasFiles ? QString() : text::kDropHint;
    CtrlGrid1->setToolTip(hint);
    CtrlGrid1->viewport()->setToolTip(hint);
}

void TForm1::TB_ChangeExtClick() {
    if (busy_) return;
    bool anyTicked = false;
    for (int row = 0; row < table_.rowCount(); ++row) anyTicked = anyTicked || table_.cell(row, kTick) == kTicked;
    if (!anyTicked) {
        say(MessageSink::Icon::Information, text::kNothingTicked);
        return;
    }
    if (say(MessageSink::Icon::Information, text::kChangeQuestion, MessageSink::Buttons::OkCancel) !=
        MessageSink::Answer::Ok)
        return;
    QStringList failures;
    {
        Busy busy(*this);
        for (int row = 0; row < table_.rowCount(); ++row) convertRow(row, failures);
    }
    if (failures.isEmpty()) {
        say(MessageSink::Icon::Information, text::kChangeDone);
    } else {
        say(MessageSink::Icon::Warning,
            text::kChangeDone + text::kCrLf + text::kChangeFailures + text::kCrLf + failures.join(text::kCrLf));
    }
}

void TForm1::convertRow(int row, QStringList& failures) {
    const Conversion plan = planConversion(table_, row);
    if (plan.kind == Conversion::Leave) return;
    if (plan.kind == Conversion::Reset) {
        setCell(row, kTick, kUnticked, false);
        setCell(row, kChosen, text::kNoChange, false);
        return;
    }
    const QString old = table_.cell(row, kPath);
    const QString chosen = table_.cell(row, kChosen);
    QString error;
    if (!renameNoReplace(old, plan.target, &error)) {
        // The file and its row stay as they were, still ticked.
        failures << QStringLiteral("%1 → %2（%3）").arg(old, QFileInfo(plan.target).fileName(), error);
        return;
    }
    tFileInfoData info;
    setup_.engine.identify(plan.target, info);
    setCell(row, kTick, kUnticked, false);
    setCell(row, kPath, plan.target, false);
    setCell(row, kPresentExt, chosen, false);
    setCell(row, kChosen, text::kNoChange, false);
    setCell(row, kDescription, info.description, false);
    setCell(row, kDetail, info.detail, false);
    setCell(row, kCrc16, setup_.engine.fileCrc16Text(plan.target), false);
    setCell(row, kCrc32, setup_.engine.fileCrc32Text(plan.target), false);
}

void TForm1::TB_VersionClick() {
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void TForm1::TBItem1Click() {
    if (setup_.openUrl) setup_.openUrl(QUrl::fromLocalFile(QDir(setup_.programDir).filePath(QStringLiteral("help.htm"))));
}

void TForm1::TB_BootShellClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    if (setup_.openUrl) setup_.openUrl(QUrl::fromLocalFile(QDir::homePath()));
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
}

}  // namespace oxtarn
