// The main window: files dropped on the grid are listed with what the engine
// tells about them, and ticked files are renamed to their chosen extension.
// Identification runs off this thread (FileChecker); rows appear as the
// answers arrive, in the order the files were given.
#pragma once

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

#include "engine_binding.hpp"
#include "file_checker.hpp"
#include "message_sink.hpp"
#include "profile_file.hpp"
#include "result_table.hpp"
#include "version_info.hpp"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;
class QTableWidgetItem;
class QTimer;

namespace oxtarn {

class TfrmVersion;

// What the window works with, so that a test can give it its own.
struct TForm1Setup {
    EngineBinding engine{EngineBinding::defaultLibraries()};
    MessageSink* messages = nullptr;
    QString programDir;    // holds help.htm
    QString settingsPath;  // data.ini
    std::optional<VersionResource> version = VersionResource::compiledIn();
    // The desktop's URL handler; false when nothing could open it.
    std::function<bool(const QUrl&)> openUrl;
    // Shows a file selected in the file manager; false when that cannot be done.
    std::function<bool(const QString& path)> showInFileManager;
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // The first window's size, until the user's own is stored.
    static constexpr int kDefaultWidth = 1180;
    static constexpr int kDefaultHeight = 640;

    explicit TForm1(TForm1Setup setup, QWidget* parent = nullptr);
    ~TForm1() override;

    // Lists the files among `paths` (folders are skipped) once the work
    // before them is done; paths already listed are not added again.
    void DropDst1FileDrop(const QStringList& paths);
    // Lists every file below `folder`.
    void addFolder(const QString& folder);
    void TB_ListClearClick();
    void TB_ChangeExtClick();
    void Timer1Timer();
    void TB_VersionClick();
    void TBItem1Click();
    void TB_BootShellClick();
    // The handlers of the sample length items (positions 0 to 5) and of the
    // method items (0 to 3).
    void chooseSampleLength(int position);
    void chooseMethod(int position);
    void chooseCurrentFormats(bool on);

    // Stops the running work and forgets what waits; the rows listed stay.
    void cancelWork();
    // Identifies every listed file again with the present options.
    void recheckAll();
    // Sets each misnamed row to its first candidate and ticks it.
    void recommendAll();
    void removeSelectedRows();
    void copySelectedRows() const;
    bool exportCsv(const QString& path);
    void sortByColumn(int column, Qt::SortOrder order);

    // Whether files are being identified or wait to be.
    bool isBusy() const;
    const ResultTable& table() const { return table_; }
    QTableWidget* grid() const { return CtrlGrid1; }
    // The grid row (from 0) that shows a table row, or -1.
    int gridRowOf(int row) const;
    // The table row shown in a grid row, or -1.
    int tableRowAt(int gridRow) const;
    // A row's controls (made when first needed).
    QCheckBox* tickBox(int row);
    QComboBox* choiceBox(int row);
    // Sets a row's drop-down as the user would.
    void chooseEntry(int row, const QString& entry);
    const EngineBinding& engine() const { return setup_.engine; }
    QAction* changeAction() const { return changeExt_; }
    QAction* listClearAction() const { return listClear_; }
    QAction* cancelAction() const { return cancel_; }
    QAction* currentFormatsItem() const { return currentFormats_; }
    const QList<QAction*>& sampleLengthItems() const { return sampleItems_; }
    const QList<QAction*>& methodItems() const { return methodItems_; }
    QString statusText() const;
    QString progressText() const;
    TfrmVersion* aboutBox() const { return about_.get(); }
    // Whether a checksum that cannot be stopped is still being computed.
    bool checksumsPending() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct RowControls {
        QPointer<QCheckBox> tick;
        QPointer<QComboBox> choice;
    };

    void buildToolbars();
    void buildGrid();
    void FormCreate();
    void FormShow();
    // Writes a cell of the table and shows it in the grid.
    void setCell(int row, int column, const QString& text);
    void showCell(int row, int column);
    void setChoices(int row, const QStringList& choices);
    // Grid items for a file row just added at the end.
    void addGridRow(int row);
    void noteWidth(int column, const QString& text);
    void fitColumns();
    void scheduleRowControls();
    void makeVisibleRowControls();
    RowControls& controlsOf(int row);
    void chosenChanged(int fileId, const QString& chosen);
    void tickChanged(int fileId, bool ticked);

    void enqueue(QList<CheckRequest> requests);
    void startNextBatch();
    void takeAnswers(const QList<CheckAnswer>& answers, int done, int total);
    void fillRow(int row, const CheckAnswer& answer);
    void takeChecksums(const QString& path, const QString& crc16, const QString& crc32);
    void batchFinished(bool cancelled);
    QList<int> selectedTableRows() const;
    QStringList rowTexts(int row, bool wholeDetail) const;
    void applyStoredLayout();
    void storeLayout();
    void updateActions();
    MessageSink::Answer say(MessageSink::Icon icon, const QString& text,
                            MessageSink::Buttons buttons = MessageSink::Buttons::Ok);

    TForm1Setup setup_;
    ResultTable table_;
    QHash<int, QTableWidgetItem*> pathItems_;  // by file id: the item of column 1
    QHash<int, RowControls> controls_;         // by file id, for the rows shown so far
    QTableWidget* CtrlGrid1 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* status_ = nullptr;
    QLabel* progress_ = nullptr;
    QAction* listClear_ = nullptr;
    QAction* changeExt_ = nullptr;
    QAction* cancel_ = nullptr;
    QAction* currentFormats_ = nullptr;
    QList<QAction*> listActions_;  // need a working engine
    QList<QAction*> sampleItems_;
    QList<QAction*> methodItems_;
    int methodPosition_ = 0;
    std::unique_ptr<TfrmVersion> about_;
    std::optional<ProfileFile> settings_;  // open from the first showing to closing
    FileChecker* checker_ = nullptr;
    QList<CheckRequest> waiting_;  // for the next batch
    QStringList unreadable_;       // of the batch in hand
    QList<int> neededWidth_;       // the widest text of each column
    QList<bool> sizedByUser_;
    bool fitting_ = false;
    bool controlsScheduled_ = false;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    bool engineMissing_ = false;
    bool renaming_ = false;
    bool closing_ = false;
    bool shownOnce_ = false;
};

}  // namespace oxtarn
