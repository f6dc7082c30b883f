#include "main_window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>

#include "about_box.hpp"
#include "file_ops.hpp"
#include "inspection_options.hpp"
#include "look.hpp"
#include "table_export.hpp"
#include "texts.hpp"

namespace oxtarn {

namespace {

// The drop target of the grid: hands the local files of a drop on. Only a
// copy or a link is accepted, never a move, so that no source takes the drop
// as leave to delete its files.
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
            if (!paths(drag->mimeData()).isEmpty() && takeAsCopyOrLink(drag)) drag->accept();
            else drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList dropped = paths(drop->mimeData());
            if (dropped.isEmpty() || !takeAsCopyOrLink(drop)) {
                drop->ignore();
                return true;
            }
            drop->accept();
            // Let the file manager finish its part of the drop first.
            QTimer::singleShot(0, this, [this, dropped] { onDrop_(dropped); });
            return true;
        }
        default: return false;
        }
    }

private:
    static bool takeAsCopyOrLink(QDropEvent* event) {
        for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
            if (event->possibleActions() & action) {
                event->setDropAction(action);
                return true;
            }
        }
        return false;
    }

    static QStringList paths(const QMimeData* data) {
        QStringList list;
        if (!data) return list;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) list << url.toLocalFile();
        return list;
    }

    std::function<void(const QStringList&)> onDrop_;
};

// A row's drop-down: the mouse wheel scrolls the grid instead of turning the
// entry, and it takes the focus only from a click or the keyboard.
class ChoiceBox : public QComboBox {
public:
    ChoiceBox() { setFocusPolicy(Qt::StrongFocus); }

protected:
    // The wheel belongs to the grid: handed to the grid's viewport, which
    // holds the drop-down.
    void wheelEvent(QWheelEvent* event) override {
        if (QWidget* area = parentWidget()) {
            QWheelEvent forwarded(mapToParent(event->position()), event->globalPosition(), event->pixelDelta(),
                                  event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                                  event->inverted(), event->source());
            QCoreApplication::sendEvent(area, &forwarded);
        }
        event->accept();
    }
};

// Grid items sort by their sort key where they have one (the check column).
constexpr int kSortKeyRole = Qt::UserRole + 1;
constexpr int kFileIdRole = Qt::UserRole + 2;

class GridItem : public QTableWidgetItem {
public:
    GridItem() { setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable); }
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant mine = data(kSortKeyRole), theirs = other.data(kSortKeyRole);
        if (mine.isValid() && theirs.isValid()) return mine.toString() < theirs.toString();
        return text() < other.text();
    }
};

const QString kTicked = QStringLiteral("1");
const QString kUnticked = QStringLiteral("0");

// The widest a column is made by itself, so that all eight fit at the
// default window size; the user may widen any of them.
int widthLimit(int column) {
    switch (column) {
    case kPath: return 300;
    case kDescription:
    case kDetail: return 200;
    default: return 160;
    }
}

constexpr int kMaxNamedUnreadable = 20;

}  // namespace

TForm1::TForm1(TForm1Setup setup, QWidget* parent) : QMainWindow(parent), setup_(std::move(setup)) {
    setObjectName(QStringLiteral("Form1"));
    resize(kDefaultWidth, kDefaultHeight);
    QPalette p = palette();
    p.setColor(QPalette::Window, windowColour());
    setPalette(p);

    buildGrid();
    setCentralWidget(CtrlGrid1);
    new FileDropTarget(CtrlGrid1->viewport(), [this](const QStringList& paths) { DropDst1FileDrop(paths); });

    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);
    progress_ = new QLabel(this);
    statusBar()->addPermanentWidget(progress_);

    checker_ = new FileChecker(this);
    connect(checker_, &FileChecker::answered, this, &TForm1::takeAnswers);
    connect(checker_, &FileChecker::checksumsReady, this, &TForm1::takeChecksums);
    connect(checker_, &FileChecker::finished, this, &TForm1::batchFinished);

    buildToolbars();

    // Modal over this window, which therefore takes no input while it is open.
    about_ = std::make_unique<TfrmVersion>(VersionInfo(setup_.version), this);

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    Timer1->start();

    FormCreate();
    applyStoredLayout();
}

TForm1::~TForm1() {
    closing_ = true;
    delete checker_;  // stops its threads before the grid goes
    checker_ = nullptr;
}

void TForm1::buildGrid() {
    CtrlGrid1 = new QTableWidget(this);
    CtrlGrid1->setObjectName(QStringLiteral("CtrlGrid1"));
    CtrlGrid1->setColumnCount(kColumnCount);
    CtrlGrid1->verticalHeader()->hide();
    CtrlGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    CtrlGrid1->verticalHeader()->setDefaultSectionSize(CtrlGrid1->fontMetrics().height() + 12);
    QHeaderView* header = CtrlGrid1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    CtrlGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);  // the text cells are read-only
    CtrlGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CtrlGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    CtrlGrid1->setWordWrap(false);
    CtrlGrid1->setTextElideMode(Qt::ElideRight);
    CtrlGrid1->setToolTipDuration(kHintHideDelay);
    CtrlGrid1->viewport()->setToolTipDuration(kHintHideDelay);

    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        const Qt::SortOrder order =
            column == sortColumn_ && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        sortByColumn(column, order);
    });
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (!fitting_ && column >= 0 && column < sizedByUser_.size()) sizedByUser_[column] = true;
    });
    connect(CtrlGrid1->verticalScrollBar(), &QScrollBar::valueChanged, this, &TForm1::scheduleRowControls);
    for (int column = 0; column < kColumnCount; ++column) {
        neededWidth_ << 10;
        sizedByUser_ << false;
    }
}

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
        return menu;
    };
    addCheckMenu(text::kSampleMenu, options::sampleLengthCaptions(), &TForm1::chooseSampleLength, sampleItems_);
    QMenu* methodMenu =
        addCheckMenu(text::kMethodMenu, options::methodCaptions(), &TForm1::chooseMethod, methodItems_);
    methodMenu->addSeparator();
    currentFormats_ = methodMenu->addAction(options::currentFormatsCaption());
    currentFormats_->setCheckable(true);
    currentFormats_->setChecked(true);
    setup_.engine.setOptions(options::optionBits(0, true));
    connect(currentFormats_, &QAction::triggered, this, &TForm1::chooseCurrentFormats);

    auto* toolbar3 = addToolBar(text::kProgramToolbar);
    toolbar3->setObjectName(QStringLiteral("ToolBar3"));
    toolbar3->setFloatable(false);
    toolbar3->addAction(text::kVersion, this, &TForm1::TB_VersionClick);
    QAction* help = toolbar3->addAction(text::kHelp, this, &TForm1::TBItem1Click);
    help->setShortcut(QKeySequence::HelpContents);
    QAction* quit = toolbar3->addAction(text::kQuit, this, &QWidget::close);
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    addToolBarBreak(Qt::TopToolBarArea);
    auto* toolbar2 = addToolBar(text::kListToolbar);
    toolbar2->setObjectName(QStringLiteral("ToolBar2"));
    toolbar2->setFloatable(false);
    listClear_ = toolbar2->addAction(text::kListClear, this, &TForm1::TB_ListClearClick);
    toolbar2->addSeparator();
    changeExt_ = toolbar2->addAction(text::kChangeExt, this, &TForm1::TB_ChangeExtClick);
    changeExt_->setEnabled(false);
    toolbar2->addSeparator();

    QAction* openFiles = toolbar2->addAction(text::kOpenFiles, this, [this] {
        const QStringList files = QFileDialog::getOpenFileNames(this, text::kOpenFiles);
        if (!files.isEmpty()) DropDst1FileDrop(files);
    });
    openFiles->setShortcut(QKeySequence::Open);
    QAction* openFolder = toolbar2->addAction(text::kOpenFolder, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, text::kOpenFolder);
        if (!folder.isEmpty()) addFolder(folder);
    });
    openFolder->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    QAction* recommend = toolbar2->addAction(text::kRecommendAll, this, &TForm1::recommendAll);
    QAction* recheck = toolbar2->addAction(text::kRecheck, this, &TForm1::recheckAll);
    recheck->setShortcut(QKeySequence::Refresh);
    QAction* exportList = toolbar2->addAction(text::kExportCsv, this, [this] {
        const QString path = QFileDialog::getSaveFileName(this, text::kExportCsv, QString(), text::kCsvFilter);
        if (!path.isEmpty() && !exportCsv(path)) say(MessageSink::Icon::Warning, text::kExportFailed + text::kCrLf + path);
    });
    cancel_ = toolbar2->addAction(text::kCancelBatch, this, &TForm1::cancelWork);
    cancel_->setShortcut(QKeySequence(Qt::Key_Escape));
    cancel_->setEnabled(false);

    // Commands of the grid's rows: by key and from the grid's context menu.
    auto* remove = new QAction(text::kRemoveRows, this);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(remove, &QAction::triggered, this, &TForm1::removeSelectedRows);
    auto* copy = new QAction(text::kCopyRows, this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QAction::triggered, this, &TForm1::copySelectedRows);
    CtrlGrid1->addAction(copy);
    CtrlGrid1->addAction(remove);
    CtrlGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);

    listActions_ = {listClear_, openFiles, openFolder, recommend, recheck, exportList, remove, copy};
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
        for (QAction* action : listActions_) action->setEnabled(false);
        changeExt_->setEnabled(false);
    }
    setWindowTitle(text::kAppTitle);
}

void TForm1::applyStoredLayout() {
    if (setup_.settingsPath.isEmpty()) return;
    const options::WindowLayout layout = options::readWindowLayout(ProfileFile(setup_.settingsPath), kColumnCount);
    if (layout.size.isValid()) resize(layout.size);
    if (!layout.columnWidths.isEmpty()) {
        for (int column = 0; column < kColumnCount; ++column) {
            CtrlGrid1->setColumnWidth(column, layout.columnWidths[column]);
            sizedByUser_[column] = true;
        }
    }
}

void TForm1::storeLayout() {
    if (!settings_) return;
    options::WindowLayout layout;
    layout.size = isMaximized() || isFullScreen() ? normalGeometry().size() : size();
    for (int column = 0; column < kColumnCount; ++column) layout.columnWidths << CtrlGrid1->columnWidth(column);
    options::storeWindowLayout(*settings_, layout);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    scheduleRowControls();
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
    // Written only when the user changes it: a file without the key means on.
    const bool current = options::readCurrentFormats(*settings_);
    currentFormats_->setChecked(current);
    setup_.engine.setOptions(options::optionBits(methodPosition_, current));
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (say(MessageSink::Icon::Question, text::kCloseQuestion, MessageSink::Buttons::OkCancel) !=
        MessageSink::Answer::Ok) {
        event->ignore();
        return;
    }
    closing_ = true;
    cancelWork();  // at once: the window does not linger behind its work
    storeLayout();
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
    methodPosition_ = position;
    setup_.engine.setOptions(options::optionBits(position, currentFormats_->isChecked()));
    if (settings_) options::storeMethod(*settings_, position);
}

void TForm1::chooseCurrentFormats(bool on) {
    currentFormats_->setChecked(on);
    setup_.engine.setOptions(options::optionBits(methodPosition_, on));
    if (settings_) options::storeCurrentFormats(*settings_, on);
}

MessageSink::Answer TForm1::say(MessageSink::Icon icon, const QString& text, MessageSink::Buttons buttons) {
    if (!setup_.messages) return MessageSink::Answer::Cancel;
    return setup_.messages->show(icon, text::kAppTitle, text, buttons);
}

QString TForm1::statusText() const { return status_->text(); }
QString TForm1::progressText() const { return progress_->text(); }
bool TForm1::isBusy() const { return checker_->isRunning() || !waiting_.isEmpty(); }
bool TForm1::checksumsPending() const { return checker_->checksumsPending(); }

// --- the grid --------------------------------------------------------------

int TForm1::gridRowOf(int row) const {
    QTableWidgetItem* item = pathItems_.value(table_.fileId(row));
    return item ? CtrlGrid1->row(item) : -1;
}

int TForm1::tableRowAt(int gridRow) const {
    const QTableWidgetItem* item = CtrlGrid1->item(gridRow, kPath);
    return item ? table_.rowOfFile(item->data(kFileIdRole).toInt()) : -1;
}

void TForm1::setCell(int row, int column, const QString& text) {
    table_.setCell(row, column, text);
    if (row == 0) {
        CtrlGrid1->setHorizontalHeaderItem(column, new QTableWidgetItem(text));
        const int width = CtrlGrid1->horizontalHeader()->fontMetrics().horizontalAdvance(text) + 8;
        neededWidth_[column] = std::max(neededWidth_[column], width);
        return;
    }
    showCell(row, column);
}

void TForm1::showCell(int row, int column) {
    const int fileId = table_.fileId(row);
    const int gridRow = gridRowOf(row);
    if (gridRow < 0) return;
    const QString text = table_.cell(row, column);
    QTableWidgetItem* item = CtrlGrid1->item(gridRow, column);
    if (!item) return;
    const RowControls controls = controls_.value(fileId);
    switch (column) {
    case kTick:
        item->setData(kSortKeyRole, text);
        if (controls.tick) controls.tick->setChecked(text == kTicked);
        return;
    case kChosen:
        item->setText(text);
        if (controls.choice) controls.choice->setCurrentIndex(controls.choice->findText(text));
        return;
    case kDetail:
        // One line in the cell, the whole text as its hint.
        item->setText(oneLine(text));
        item->setToolTip(text);
        break;
    case kDescription:
        item->setText(text);
        item->setToolTip(text);
        break;
    default: item->setText(text);
    }
    noteWidth(column, item->text());
}

void TForm1::setChoices(int row, const QStringList& choices) {
    table_.setChoices(row, choices);
    for (const QString& choice : choices) noteWidth(kChosen, choice);
    if (QComboBox* box = controls_.value(table_.fileId(row)).choice) {
        box->clear();
        box->addItems(choices);
        box->setCurrentIndex(box->findText(table_.cell(row, kChosen)));
    }
}

void TForm1::addGridRow(int row) {
    const int fileId = table_.fileId(row);
    const int gridRow = table_.fileCount() - 1;  // the first file takes the empty row
    if (CtrlGrid1->rowCount() <= gridRow) CtrlGrid1->setRowCount(gridRow + 1);
    for (int column = 0; column < kColumnCount; ++column) {
        auto* item = new GridItem;
        if (column == kPath) {
            item->setData(kFileIdRole, fileId);
            pathItems_.insert(fileId, item);
        }
        CtrlGrid1->setItem(gridRow, column, item);
    }
    for (int column = 0; column < kColumnCount; ++column) showCell(row, column);
}

void TForm1::noteWidth(int column, const QString& text) {
    const int extra = column == kChosen ? 36 : 0;  // the drop-down's arrow and frame
    neededWidth_[column] = std::max(neededWidth_[column], CtrlGrid1->fontMetrics().horizontalAdvance(text) + extra);
}

// Once a batch (or its first answers): each column as wide as its widest
// text, within its limit, unless the user sized it.
void TForm1::fitColumns() {
    fitting_ = true;
    for (int column = 0; column < kColumnCount; ++column)
        if (!sizedByUser_[column])
            CtrlGrid1->setColumnWidth(column, std::min(neededWidth_[column], widthLimit(column)) + 12);
    fitting_ = false;
}

void TForm1::scheduleRowControls() {
    if (controlsScheduled_) return;
    controlsScheduled_ = true;
    QTimer::singleShot(0, this, &TForm1::makeVisibleRowControls);
}

// The check boxes and drop-downs are made for the rows that come into view
// and released once they are far out of it, so that a long list costs no
// more than the rows the user looks at. Their state lives in the table.
void TForm1::makeVisibleRowControls() {
    controlsScheduled_ = false;
    if (table_.fileCount() == 0) return;
    const int first = std::max(0, CtrlGrid1->rowAt(0));
    int last = CtrlGrid1->rowAt(CtrlGrid1->viewport()->height() - 1);
    if (last < 0) last = CtrlGrid1->rowCount() - 1;
    const int margin = std::max(20, last - first);
    for (auto it = controls_.begin(); it != controls_.end();) {
        const int gridRow = gridRowOf(table_.rowOfFile(it.key()));
        const bool near = gridRow >= first - margin && gridRow <= last + margin;
        if (near || (it->choice && it->choice->hasFocus())) {
            ++it;
            continue;
        }
        if (gridRow >= 0) {
            CtrlGrid1->removeCellWidget(gridRow, kTick);
            CtrlGrid1->removeCellWidget(gridRow, kChosen);
        }
        it = controls_.erase(it);
    }
    for (int gridRow = first; gridRow <= last; ++gridRow) {
        const int row = tableRowAt(gridRow);
        if (row >= 1) controlsOf(row);
    }
}

TForm1::RowControls& TForm1::controlsOf(int row) {
    const int fileId = table_.fileId(row);
    RowControls& controls = controls_[fileId];
    if (controls.tick && controls.choice) return controls;
    const int gridRow = gridRowOf(row);

    auto* choice = new ChoiceBox;
    choice->setObjectName(controlName(fileId));
    choice->addItems(table_.choices(row));
    choice->setCurrentIndex(choice->findText(table_.cell(row, kChosen)));
    connect(choice, &QComboBox::activated, this,
            [this, fileId, choice] { chosenChanged(fileId, choice->currentText()); });
    auto* tick = new QCheckBox;
    tick->setChecked(table_.cell(row, kTick) == kTicked);
    QPalette p = tick->palette();
    p.setColor(QPalette::Text, QColor(0, 128, 0));  // the check mark
    tick->setPalette(p);
    connect(tick, &QCheckBox::clicked, this, [this, fileId](bool on) { tickChanged(fileId, on); });
    CtrlGrid1->setCellWidget(gridRow, kChosen, choice);
    CtrlGrid1->setCellWidget(gridRow, kTick, tick);
    controls = {tick, choice};
    return controls;
}

QCheckBox* TForm1::tickBox(int row) { return row >= 1 && row <= table_.fileCount() ? controlsOf(row).tick.data() : nullptr; }

QComboBox* TForm1::choiceBox(int row) {
    return row >= 1 && row <= table_.fileCount() ? controlsOf(row).choice.data() : nullptr;
}

void TForm1::tickChanged(int fileId, bool ticked) {
    const int row = table_.rowOfFile(fileId);
    if (row >= 1) setCell(row, kTick, ticked ? kTicked : kUnticked);
}

// Only a real change ticks the row; "?", "変換なし" or the present extension unticks it.
void TForm1::chosenChanged(int fileId, const QString& chosen) {
    const int row = table_.rowOfFile(fileId);
    if (row < 1) return;
    setCell(row, kChosen, chosen);
    setCell(row, kTick, isRealChange(chosen, table_.cell(row, kPresentExt)) ? kTicked : kUnticked);
}

void TForm1::chooseEntry(int row, const QString& entry) {
    QComboBox* box = choiceBox(row);
    if (!box) return;
    const int index = box->findText(entry);
    if (index < 0) return;
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void TForm1::sortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumnCount || table_.fileCount() == 0) return;
    sortColumn_ = column;
    sortOrder_ = order;
    CtrlGrid1->sortItems(column, order);  // the row controls move with their rows
    CtrlGrid1->horizontalHeader()->setSortIndicatorShown(true);
    CtrlGrid1->horizontalHeader()->setSortIndicator(column, order);
    scheduleRowControls();
}

void TForm1::TB_ListClearClick() {
    if (renaming_) return;
    cancelWork();
    table_.clear();
    controls_.clear();
    pathItems_.clear();
    CtrlGrid1->setRowCount(0);  // releases the row controls
    CtrlGrid1->setRowCount(table_.rowCount() - 1);
    for (int column = 0; column < kColumnCount; ++column) {
        neededWidth_[column] = 10;
        setCell(0, column, gridHeaders()[column]);
    }
    CtrlGrid1->horizontalHeader()->setSortIndicatorShown(false);
    sortColumn_ = -1;
    fitColumns();
    updateActions();
}

QList<int> TForm1::selectedTableRows() const {
    QList<int> rows;
    for (const QModelIndex& index : CtrlGrid1->selectionModel()->selectedRows()) {
        const int row = tableRowAt(index.row());
        if (row >= 1) rows << row;
    }
    return rows;
}

void TForm1::removeSelectedRows() {
    if (renaming_) return;
    QList<int> gridRows;
    QList<int> rows;
    for (const QModelIndex& index : CtrlGrid1->selectionModel()->selectedRows()) {
        const int row = tableRowAt(index.row());
        if (row < 1) continue;
        rows << row;
        gridRows << index.row();
        const int fileId = table_.fileId(row);
        pathItems_.remove(fileId);
        controls_.remove(fileId);
    }
    if (rows.isEmpty()) return;
    std::sort(gridRows.begin(), gridRows.end(), std::greater<>());
    for (int gridRow : gridRows) CtrlGrid1->removeRow(gridRow);
    if (CtrlGrid1->rowCount() == 0) CtrlGrid1->setRowCount(1);  // the empty row below the header
    table_.removeRows(rows);
    scheduleRowControls();
    updateActions();
}

QStringList TForm1::rowTexts(int row, bool wholeDetail) const {
    QStringList fields;
    for (int column = 0; column < kColumnCount; ++column) {
        const QString text = table_.cell(row, column);
        fields << (column == kDetail && !wholeDetail ? oneLine(text) : text);
    }
    return fields;
}

// The selected rows in the order the grid shows them.
void TForm1::copySelectedRows() const {
    QList<int> gridRows;
    for (const QModelIndex& index : CtrlGrid1->selectionModel()->selectedRows()) gridRows << index.row();
    std::sort(gridRows.begin(), gridRows.end());
    QList<QStringList> lines;
    for (int gridRow : gridRows)
        if (const int row = tableRowAt(gridRow); row >= 1) lines << rowTexts(row, false);
    if (!lines.isEmpty()) QApplication::clipboard()->setText(tabSeparated(lines));
}

bool TForm1::exportCsv(const QString& path) {
    QList<QStringList> lines{gridHeaders()};
    for (int gridRow = 0; gridRow < CtrlGrid1->rowCount(); ++gridRow)
        if (const int row = tableRowAt(gridRow); row >= 1) lines << rowTexts(row, true);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(csvDocument(lines));
    return file.commit();
}

void TForm1::recommendAll() {
    if (renaming_) return;
    for (int row = 1; row <= table_.fileCount(); ++row) {
        const QString choice = recommendedChoice(table_, row);
        if (choice.isEmpty()) continue;
        setCell(row, kChosen, choice);
        setCell(row, kTick, kTicked);
    }
}

// --- identification --------------------------------------------------------

void TForm1::DropDst1FileDrop(const QStringList& paths) {
    QList<CheckRequest> requests;
    for (const QString& path : paths) {
        const QString absolute = QDir::isRelativePath(path) ? QDir::current().absoluteFilePath(path) : path;
        if (table_.rowOfPath(QDir::toNativeSeparators(absolute)) >= 0) continue;  // listed already
        requests.append({absolute, false, false});
    }
    enqueue(std::move(requests));
}

void TForm1::addFolder(const QString& folder) { enqueue({CheckRequest{folder, true, false}}); }

void TForm1::recheckAll() {
    QList<CheckRequest> requests;
    for (int row = 1; row <= table_.fileCount(); ++row) requests.append({table_.cell(row, kPath), false, true});
    enqueue(std::move(requests));
}

void TForm1::enqueue(QList<CheckRequest> requests) {
    if (engineMissing_ || closing_ || requests.isEmpty()) return;
    waiting_ += requests;
    startNextBatch();
}

void TForm1::startNextBatch() {
    if (checker_->isRunning() || waiting_.isEmpty() || closing_) return;
    QList<CheckRequest> requests = std::move(waiting_);
    waiting_.clear();
    unreadable_.clear();
    progress_->setText(QStringLiteral("0 / %1").arg(requests.size()));
    checker_->start(setup_.engine, std::move(requests));  // the options as they are now
    updateActions();
}

void TForm1::takeAnswers(const QList<CheckAnswer>& answers, int done, int total) {
    const bool firstRows = table_.fileCount() == 0;
    CtrlGrid1->setUpdatesEnabled(false);
    // Room for all of them at once: a row added at a time costs the grid more.
    CtrlGrid1->setRowCount(table_.fileCount() + int(answers.size()));
    int added = 0;
    for (const CheckAnswer& answer : answers) {
        if (answer.kind == CheckAnswer::Skipped) continue;
        if (answer.kind == CheckAnswer::Unreadable) unreadable_ << answer.path;
        int row = table_.rowOfPath(answer.path);
        if (answer.recheck) {
            if (row >= 1) fillRow(row, answer);  // the row may be gone meanwhile
            continue;
        }
        if (row >= 1) continue;  // the same path twice
        row = table_.addFile(answer.path);
        ++added;
        table_.setCell(row, kChosen, text::kNoChange);
        fillRow(row, answer);
        addGridRow(row);
    }
    CtrlGrid1->setRowCount(std::max(1, table_.fileCount()));
    CtrlGrid1->setUpdatesEnabled(true);
    progress_->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
    if (added && firstRows) fitColumns();
    if (added) scheduleRowControls();
    updateActions();
}

// The engine's answer into a row: its candidates (keeping the chosen entry
// while it is still one of them), description, detail and checksums.
void TForm1::fillRow(int row, const CheckAnswer& answer) {
    const bool readable = answer.kind == CheckAnswer::Identified;
    const QStringList choices = choicesFor(readable ? answer.info.extension : text::kUnknown);
    if (!choices.contains(table_.cell(row, kChosen))) {
        setCell(row, kChosen, text::kNoChange);
        setCell(row, kTick, kUnticked);
    }
    setChoices(row, choices);
    setCell(row, kDescription, readable ? answer.info.description : text::kUnreadablePrefix + answer.reason);
    setCell(row, kDetail, readable ? answer.info.detail : QString());
    setCell(row, kCrc16, answer.crc16);
    setCell(row, kCrc32, answer.crc32);
}

void TForm1::takeChecksums(const QString& path, const QString& crc16, const QString& crc32) {
    const int row = table_.rowOfPath(path);
    if (row < 1) return;
    setCell(row, kCrc16, crc16);
    setCell(row, kCrc32, crc32);
}

void TForm1::batchFinished(bool cancelled) {
    progress_->clear();
    fitColumns();
    updateActions();
    if (closing_) return;
    if (!unreadable_.isEmpty()) {
        // One message for the whole batch, however many files.
        const QStringList files = unreadable_;
        unreadable_.clear();
        QStringList lines = files.mid(0, kMaxNamedUnreadable);
        if (files.size() > kMaxNamedUnreadable) lines << text::kMoreFiles.arg(files.size() - kMaxNamedUnreadable);
        say(MessageSink::Icon::Warning,
            text::kUnreadableFiles.arg(files.size()) + text::kCrLf + lines.join(text::kCrLf));
    }
    if (cancelled) waiting_.clear();
    startNextBatch();
}

void TForm1::cancelWork() {
    waiting_.clear();
    checker_->cancel();
}

void TForm1::updateActions() {
    cancel_->setEnabled(isBusy());
    Timer1Timer();
}

void TForm1::Timer1Timer() {
    const bool hasFiles = table_.fileCount() != 0;
    changeExt_->setEnabled(hasFiles && !renaming_ && !isBusy() && !engineMissing_);
    const QString hint = hasFiles ? QString() : text::kDropHint;
    CtrlGrid1->setToolTip(hint);
    CtrlGrid1->viewport()->setToolTip(hint);
}

// --- the extension change ----------------------------------------------------

void TForm1::TB_ChangeExtClick() {
    if (renaming_ || isBusy()) return;
    bool anyTicked = false;
    for (int row = 0; row < table_.rowCount(); ++row) anyTicked = anyTicked || table_.cell(row, kTick) == kTicked;
    if (!anyTicked) {
        say(MessageSink::Icon::Information, text::kNothingTicked);
        return;
    }
    if (say(MessageSink::Icon::Information, text::kChangeQuestion, MessageSink::Buttons::OkCancel) !=
        MessageSink::Answer::Ok)
        return;

    renaming_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList failures;
    QList<CheckRequest> renamed;
    int skipped = 0;
    for (int row = 0; row < table_.rowCount(); ++row) {
        const Conversion plan = planConversion(table_, row);
        if (plan.kind == Conversion::Leave) continue;
        if (plan.kind == Conversion::Reset) {
            if (table_.cell(row, kTick) == kTicked) ++skipped;
            setCell(row, kTick, kUnticked);
            setCell(row, kChosen, text::kNoChange);
            continue;
        }
        const QString old = table_.cell(row, kPath);
        const QString chosen = table_.cell(row, kChosen);
        QString error;
        if (!renameNoReplace(old, plan.target, &error)) {
            // The file and its row stay as they were, still ticked.
            failures << QStringLiteral("%1 → %2（%3）").arg(old, QFileInfo(plan.target).fileName(), error);
            continue;
        }
        const QString target = QDir::toNativeSeparators(plan.target);
        setCell(row, kTick, kUnticked);
        setCell(row, kPath, target);
        setCell(row, kPresentExt, chosen);
        setCell(row, kChosen, text::kNoChange);
        renamed.append({target, false, true});  // identified again under its new name
    }
    QApplication::restoreOverrideCursor();
    renaming_ = false;
    enqueue(renamed);

    QString summary = text::kChangeDone + text::kCrLf + text::kChangeCounts.arg(renamed.size()).arg(skipped).arg(failures.size());
    if (failures.isEmpty()) {
        say(MessageSink::Icon::Information, summary);
    } else {
        say(MessageSink::Icon::Warning,
            summary + text::kCrLf + text::kChangeFailures + text::kCrLf + failures.join(text::kCrLf));
    }
}

// --- outside the list ----------------------------------------------------------

void TForm1::TB_VersionClick() {
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void TForm1::TBItem1Click() {
    const QString help = QDir(setup_.programDir).filePath(QStringLiteral("help.htm"));
    const bool opened = QFileInfo::exists(help) && setup_.openUrl && setup_.openUrl(QUrl::fromLocalFile(help));
    if (!opened) say(MessageSink::Icon::Warning, text::kHelpFailed + text::kCrLf + QDir::toNativeSeparators(help));
}

// The file manager at the selected row's file, selected there; its folder
// where the file manager cannot select it; the home folder without a row.
void TForm1::TB_BootShellClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QCoreApplication::processEvents();
    const int row = tableRowAt(CtrlGrid1->currentRow());
    const QString file = row >= 1 ? table_.cell(row, kPath) : QString();
    bool shown = false;
    QString place;
    if (!file.isEmpty() && QFileInfo::exists(file)) {
        shown = setup_.showInFileManager && setup_.showInFileManager(file);
        place = QFileInfo(file).absolutePath();
    } else {
        place = QDir::homePath();
    }
    if (!shown) shown = setup_.openUrl && setup_.openUrl(QUrl::fromLocalFile(place));
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
    if (!shown) say(MessageSink::Icon::Warning, text::kFileManagerFailed + text::kCrLf + QDir::toNativeSeparators(place));
}

}  // namespace oxtarn
