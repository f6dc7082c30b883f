// The main window: files dropped on the grid are listed with what the engine
// tells about them, and ticked files are renamed to their chosen extension.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

#include "engine_binding.hpp"
#include "message_sink.hpp"
#include "profile_file.hpp"
#include "result_table.hpp"
#include "version_info.hpp"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;
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
    std::function<void(const QUrl&)> openUrl;  // the desktop's URL handler
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(TForm1Setup setup, QWidget* parent = nullptr);
    ~TForm1() override;

    // Lists the files among `paths` (folders are skipped).
    void DropDst1FileDrop(const QStringList& paths);
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

    const ResultTable& table() const { return table_; }
    QTableWidget* grid() const { return CtrlGrid1; }
    QCheckBox* tickBox(int row) const;
    QComboBox* choiceBox(int row) const;
    // Sets a row's drop-down as the user would.
    void chooseEntry(int row, const QString& entry);
    const EngineBinding& engine() const { return setup_.engine; }
    QAction* changeAction() const { return changeExt_; }
    QAction* listClearAction() const { return listClear_; }
    const QList<QAction*>& sampleLengthItems() const { return sampleItems_; }
    const QList<QAction*>& methodItems() const { return methodItems_; }
    QString statusText() const;
    TfrmVersion* aboutBox() const { return about_.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class Busy;
    struct RowControls {
        QPointer<QCheckBox> tick;
        QPointer<QComboBox> choice;
    };

    void buildToolbars();
    void FormCreate();
    void FormShow();
    // Writes a cell and keeps the row's controls in step; `fit` sets the
    // column's width to its widest text.
    void setCell(int row, int column, const QString& text, bool fit = true);
    void fitColumn(int column);
    void addRowControls(int row);
    void cmbExtensionChange(QComboBox* box);
    void tickChanged(int row, bool ticked);
    void listFile(const QString& path);
    void convertRow(int row, QStringList& failures);
    MessageSink::Answer say(MessageSink::Icon icon, const QString& text,
                            MessageSink::Buttons buttons = MessageSink::Buttons::Ok);

    TForm1Setup setup_;
    ResultTable table_;
    QList<RowControls> controls_;  // by file index; grows with the list
    QTableWidget* CtrlGrid1 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* status_ = nullptr;
    QAction* listClear_ = nullptr;
    QAction* changeExt_ = nullptr;
    QList<QAction*> sampleItems_;
    QList<QAction*> methodItems_;
    std::unique_ptr<TfrmVersion> about_;
    std::optional<ProfileFile> settings_;  // open from the first showing to closing
    bool engineMissing_ = false;
    bool busy_ = false;
    bool shownOnce_ = false;
};

}  // namespace oxtarn
