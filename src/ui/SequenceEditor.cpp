#include "ui/SequenceEditor.h"

#include "app/Guard.h"
#include "app/Prompts.h"
#include "sequence/CsvImport.h"
#include "sequence/SeqFile.h"
#include "sequence/SupplyModels.h"
#include "ui/Forms.h"
#include "ui/SequenceGridModel.h"
#include "ui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QStyledItemDelegate>
#include <QTableView>

#include <algorithm>
#include <optional>
#include <string_view>

namespace kadenzo {
namespace {

// Longest text the key filter lets the user type into a cell of each column.
constexpr size_t kTypedVoltsLength = 6;
constexpr size_t kTypedAmpsLength = 5;
constexpr size_t kTypedCommentLength = 40;

constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;
constexpr char16_t kEscape = 27;

size_t typedLength(int column) {
    switch (column) {
    case VoltsColumn:
        return kTypedVoltsLength;
    case AmpsColumn:
        return kTypedAmpsLength;
    default:
        return kTypedCommentLength;
    }
}

bool isDigit(char16_t key) {
    return key >= u'0' && key <= u'9';
}

// The character a key press types: Backspace 8, Enter 13, Escape 27, otherwise the
// character's code; 0 for navigation and editing keys, which type nothing (X11 gives
// Delete the text 0x7f).
char16_t typedKey(const QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Escape:
        return kEscape;
    default:
        if (k->text().isEmpty() || k->text()[0].unicode() < 32 || k->text()[0].unicode() == 127)
            return 0;
        return k->text()[0].unicode();
    }
}

size_t countDots(std::string_view text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '.'));
}

size_t countNonNumeric(std::string_view text) {
    return static_cast<size_t>(std::count_if(
        text.begin(), text.end(), [](char ch) { return !(ch >= '0' && ch <= '9') && ch != '.'; }));
}

// Whether an edit that did not pass through the key filter (a paste, say) keeps the
// rules the filter gives typed keys: no longer than the typed length unless it does
// not grow, and in Volts and I Limit no further characters other than digits and
// no second ".". Deleting from a loaded text that breaks the rules stays possible.
bool editKeepsRules(int column, std::string_view before, std::string_view after) {
    if (after.size() > typedLength(column) && after.size() > before.size())
        return false;
    if (column == CommentColumn)
        return true;
    if (countNonNumeric(after) > countNonNumeric(before))
        return false;
    return countDots(after) <= std::max<size_t>(1, countDots(before));
}

// Counts the editor's operations in progress (see FormDeactivate).
class BusyScope {
public:
    explicit BusyScope(int& n) : n_(n) { ++n_; }
    ~BusyScope() { --n_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& n_;
};

} // namespace

// The grid's in-place editor: a line edit whose text goes into the table as it is
// typed (the table is the only store), with the key filter in front of it.
class SequenceCellDelegate : public QStyledItemDelegate {
public:
    explicit SequenceCellDelegate(SequenceEditor& editor) : editor_(editor) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        QPersistentModelIndex cell(index);
        SequenceEditor& e = editor_;
        QObject::connect(line, &QLineEdit::textEdited, line, [&e, line, cell](const QString& t) {
            guarded(e.c.prompts, [&] {
                if (cell.isValid())
                    e.editorTextEdited(line, SequenceGridModel::cellOf(cell), t);
            });
        });
        open_ = line;
        return line;
    }

    void setEditorData(QWidget* w, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(w);
        const QString text = index.data(Qt::EditRole).toString();
        // Only when the table's text differs: the echo of a typed key must not move
        // the cursor.
        if (line->text() != text)
            line->setText(text);
    }

    // Nothing to commit: every edit is in the table already.
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

    void destroyEditor(QWidget* w, const QModelIndex& index) const override {
        if (open_ == w)
            open_ = nullptr;
        QStyledItemDelegate::destroyEditor(w, index);
    }

    QLineEdit* openEditor() const { return open_; }

    void closeOpenEditor() {
        if (QLineEdit* line = open_) {
            open_ = nullptr;
            emit closeEditor(line, QAbstractItemDelegate::NoHint);
        }
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            char16_t key = typedKey(static_cast<QKeyEvent*>(event));
            if (key != 0) {
                bool handled = false;
                guarded(editor_.c.prompts, [&] { handled = editorKey(key); });
                if (handled)
                    return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    // A key typed into the open editor: the key filter, then Enter and Escape of the
    // Volts and I Limit cells end the editing here (the filter did their work).
    bool editorKey(char16_t key) {
        const int column = editor_.table().currentCol();
        editor_.StringGrid1KeyPress(key);
        if (key == 0)
            return true;
        if (column != CommentColumn && (key == kEnter || key == kEscape)) {
            closeOpenEditor();
            return true;
        }
        return false;
    }

    SequenceEditor& editor_;
    mutable QPointer<QLineEdit> open_;
};

// Keys typed on the grid while no cell editor is open. A key the filter lets pass
// goes on to the grid, which opens the editor for it; Backspace opens it too (the
// grid alone would ignore it), so that it empties the cell as in the editor.
class SequenceGridKeys : public QObject {
public:
    SequenceGridKeys(SequenceEditor& editor, QTableView* grid)
        : QObject(grid), editor_(editor), grid_(grid) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* k = static_cast<QKeyEvent*>(event);
        char16_t key = typedKey(k);
        if (key == 0)
            return false;
        bool eaten = false;
        guarded(editor_.c.prompts, [&] {
            editor_.StringGrid1KeyPress(key);
            if (key == 0) {
                eaten = true;
            } else if (key == kBackspace && editor_.cellEditor() == nullptr && grid_->isEnabled()) {
                grid_->edit(grid_->currentIndex());
                if (QLineEdit* line = editor_.cellEditor()) {
                    QKeyEvent again(k->type(), k->key(), k->modifiers(), k->text());
                    QApplication::sendEvent(line, &again);
                    eaten = true;
                }
            }
        });
        return eaten;
    }

private:
    SequenceEditor& editor_;
    QTableView* grid_;
};

SequenceEditor::SequenceEditor(Context& c) : c(c) {}

SequenceEditor::~SequenceEditor() {
    table_.onCurrentCellChanging = nullptr;
    table_.onCurrentCellChanged = nullptr;
    table_.onAboutToChange = nullptr;
    table_.onChanged = nullptr;
}

void SequenceEditor::wire() {
    TForm1* f1 = c.Form1;
    TForm2* f = c.Form2;
    Prompts& p = c.prompts;

    model_ = std::make_unique<SequenceGridModel>(table_);
    delegate_ = std::make_unique<SequenceCellDelegate>(*this);

    // The grid: header row and step column fixed, four columns, rows 16 high.
    QTableView* grid = f->StringGrid1;
    grid->setModel(model_.get());
    grid->setItemDelegate(delegate_.get());
    grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                          QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    grid->setWordWrap(false);
    QHeaderView* header = grid->horizontalHeader();
    header->show();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFixedHeight(16);
    const int widths[kColumnCount] = {64, 64, 64, 359};
    for (int col = 0; col < kColumnCount; ++col)
        grid->setColumnWidth(col, widths[col]);
    grid->verticalHeader()->setDefaultSectionSize(16);

    // The table tells the grid what changed and when the current cell moves.
    table_.onAboutToChange = [this](const TableChange& change) {
        if (change.kind != TableChange::Kind::Cells)
            ++viewSyncBlocked_;
        model_->tableAboutToChange(change);
    };
    table_.onChanged = [this](const TableChange& change) { tableChanged(change); };
    table_.onCurrentCellChanging = [this](CellPos from, CellPos to) {
        StringGrid1SelectCell(from, to);
    };
    table_.onCurrentCellChanged = [this](CellPos, CellPos to) {
        cellEntryText = table_.cell(to.col, to.row);
        showCurrentCell(true);
    };
    onSignal(p, grid->selectionModel(), &QItemSelectionModel::currentChanged,
             [this] { viewCurrentChanged(); });
    grid->installEventFilter(new SequenceGridKeys(*this, grid));

    f->onShow = [this] { guarded(c.prompts, [this] { FormShow(); }); };
    f->onDeactivate = [this] { guarded(c.prompts, [this] { FormDeactivate(); }); };

    onSignal(p, f->Button1, &QPushButton::clicked, [this] { Button1Click(); });
    onSignal(p, f->Button2, &QPushButton::clicked, [this] { Button2Click(); });
    onSignal(p, f->Button3, &QPushButton::clicked, [this] { Button3Click(); });
    onSignal(p, f->Button4, &QPushButton::clicked, [this] { Button4Click(); });

    // The File menus of both windows.
    for (QAction* a : {f->New1, f1->New1})
        onSignal(p, a, &QAction::triggered, [this] { NewSequence(); });
    for (QAction* a : {f->Load1, f1->Load1})
        onSignal(p, a, &QAction::triggered, [this] { LoadSequence(); });
    for (QAction* a : {f->Importcsv1, f1->Import1})
        onSignal(p, a, &QAction::triggered, [this] { ImportCsv(); });
    for (QAction* a : {f->Save1, f1->Save1})
        onSignal(p, a, &QAction::triggered, [this] { SaveSequence(); });

    // The Instrument menus of both windows.
    onSignal(p, f1->KM417R1, &QAction::triggered, [this] { KM417R1Click(); });
    onSignal(p, f1->Vd826R1, &QAction::triggered, [this] { Vd826R1Click(); });
    onSignal(p, f1->Zn826R1, &QAction::triggered, [this] { Zn826R1Click(); });
    onSignal(p, f->KM417R1, &QAction::triggered, [this] { KM417R1Click(); });
    onSignal(p, f->Vd826R1, &QAction::triggered, [this] { Vd826R1Click(); });
    onSignal(p, f->ZN826R1, &QAction::triggered, [this] { ZN826R1Click(); });
}

void SequenceEditor::FormCreate() {
    TForm1* f1 = c.Form1;
    TForm2* f = c.Form2;

    // One default step under the header, numbered, the last step current.
    table_.renumber();
    table_.setCurrentRow(table_.RowCount() - 1);

    // The editor's model items follow the main window's selectedModel.
    const int model = c.st.selectedModel;
    f->KM417R1->setChecked(model == 1);
    f->Vd826R1->setChecked(model == 2);
    f->ZN826R1->setChecked(model == 3);
    mainTicks_ = {f1->KM417R1->isChecked(), f1->Vd826R1->isChecked(), f1->Zn826R1->isChecked()};
    editorTicks_ = {f->KM417R1->isChecked(), f->Vd826R1->isChecked(), f->ZN826R1->isChecked()};

    // Nothing to save yet; the first Volts cell is current.
    unsavedChanges = 0;
    cellRejected = 0;
    table_.setCurrentCell(VoltsColumn, 1);
    cellEntryText = table_.cell(VoltsColumn, 1);
    showCurrentCell(false);
}

QLineEdit* SequenceEditor::cellEditor() const {
    return delegate_ ? delegate_->openEditor() : nullptr;
}

// ---------------------------------------------------------------- grid and table

void SequenceEditor::closeCellEditor() {
    if (delegate_)
        delegate_->closeOpenEditor();
}

void SequenceEditor::showCurrentCell(bool scroll) {
    QTableView* grid = c.Form2->StringGrid1;
    const QModelIndex want = model_->indexOf(table_.currentCell());
    if (!want.isValid())
        return;
    if (grid->currentIndex() != want) {
        BusyScope blocked(viewSyncBlocked_);
        grid->selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
    }
    if (scroll)
        grid->scrollTo(want);
}

void SequenceEditor::viewCurrentChanged() {
    if (viewSyncBlocked_ > 0)
        return;
    const QModelIndex now = c.Form2->StringGrid1->currentIndex();
    if (now.isValid()) {
        // The table keeps the current cell out of the step column: a move there ends
        // on the Volts cell, and the grid follows the table below.
        const CellPos cell = SequenceGridModel::cellOf(now);
        table_.setCurrentCell(cell.col, cell.row);
    }
    showCurrentCell(false);
}

void SequenceEditor::tableChanged(const TableChange& change) {
    model_->tableChanged(change);
    if (change.kind == TableChange::Kind::Cells)
        return;
    --viewSyncBlocked_;
    if (table_.currentRow() < table_.RowCount())
        showCurrentCell(true);
}

void SequenceEditor::StringGrid1SelectCell(CellPos from, CellPos to) {
    BusyScope busy(busy_);
    // An empty Volts or I Limit cell being left gets its default.
    if (table_.cell(from.col, from.row).empty() &&
        (from.col == VoltsColumn || from.col == AmpsColumn))
        table_.setCell(from.col, from.row, cellDefault(from.col));
    // Escape in the cell arrived at brings back what it holds now.
    cellEntryText = table_.cell(to.col, to.row);
    // The cell being left is still the current cell.
    ValidateCell();
}

void SequenceEditor::ValidateCell() {
    BusyScope busy(busy_);
    const CellPos cell = table_.currentCell();
    if (cell.col == CommentColumn) {
        // A comment is never rejected; a rejection of the cell validated before
        // must not block the next row operation.
        cellRejected = 0;
        return;
    }
    const std::string text = table_.cell(cell.col, cell.row);
    const CellVerdict verdict = validateCellText(cell.col, text, c.st.maxVolts, c.st.maxAmps);
    if (verdict.rejected) {
        c.prompts.beep();
        c.prompts.error(kTextValueExceeds);
        table_.setCell(cell.col, cell.row, verdict.text);
        cellRejected = 1;
        return;
    }
    cellRejected = 0;
    if (verdict.text != text)
        table_.setCell(cell.col, cell.row, verdict.text);
}

void SequenceEditor::StringGrid1KeyPress(char16_t& key) {
    BusyScope busy(busy_);
    const CellPos cell = table_.currentCell();
    const std::string text = table_.cell(cell.col, cell.row);
    // Enter and Escape type no character, so a full cell still takes them.
    const bool full = text.size() >= typedLength(cell.col) && key != kBackspace && key != kEnter &&
                      key != kEscape;

    if (cell.col == CommentColumn) {
        // Any character that 8-bit text can hold.
        if (full || key > 0xFF) {
            key = 0;
            return;
        }
        unsavedChanges = 1;
        return;
    }

    if (full) {
        key = 0;
        return;
    }
    if (!isDigit(key) && key != u'.' && key != kBackspace && key != kEnter && key != kEscape) {
        key = 0;
        return;
    }
    unsavedChanges = 1;
    if (key == u'.' && text.find('.') != std::string::npos) {
        key = 0;
        return;
    }
    if (key == kEscape) {
        table_.setCell(cell.col, cell.row, cellEntryText);
    } else if (key == kEnter) {
        if (text.empty())
            table_.setCell(cell.col, cell.row, cellDefault(cell.col));
        ValidateCell();
        cellEntryText = table_.cell(cell.col, cell.row);
    }
}

void SequenceEditor::editorTextEdited(QLineEdit* editor, CellPos cell, const QString& text) {
    BusyScope busy(busy_);
    const std::string before = table_.cell(cell.col, cell.row);
    const std::optional<std::string> after = SequenceGridModel::bytesOf(text);
    if (!after || !editKeepsRules(cell.col, before, *after)) {
        // Not accepted: the editor shows the cell's text again.
        editor->setText(SequenceGridModel::shown(before));
        return;
    }
    if (*after == before)
        return;
    table_.setCell(cell.col, cell.row, *after);
    unsavedChanges = 1;
}

// ---------------------------------------------------------------- window

void SequenceEditor::FormShow() {
    c.Form1->Button6->setEnabled(true);
}

void SequenceEditor::FormDeactivate() {
    // A box the editor itself shows takes the activation too; the operation that
    // shows it has validated the cell already.
    if (busy_ > 0)
        return;
    ValidateCell();
}

// ---------------------------------------------------------------- row operations

bool SequenceEditor::currentCellAccepted() {
    closeCellEditor();
    ValidateCell();
    return cellRejected != 1;
}

SequenceEditor::UnsavedAnswer SequenceEditor::askAboutUnsavedChanges() {
    if (unsavedChanges != 1)
        return UnsavedAnswer::NoChanges;
    switch (c.prompts.confirm(kTextUnsavedDataLost)) {
    case Prompts::Answer::Yes:
        // A save that failed to write keeps the table: the user asked to keep it.
        return SaveSequence() == SaveResult::WriteFailed ? UnsavedAnswer::Stop
                                                         : UnsavedAnswer::SaveOffered;
    case Prompts::Answer::No:
        return UnsavedAnswer::Discard;
    default:
        return UnsavedAnswer::Stop;
    }
}

void SequenceEditor::Button1Click() {
    BusyScope busy(busy_);
    if (!currentCellAccepted())
        return;
    c.Form2->Button2->setEnabled(true);
    table_.appendRow();
    const int last = table_.RowCount() - 1;
    // The defaults first, so that they are the new cell's entry text.
    table_.setCell(VoltsColumn, last, kDefaultVolts);
    table_.setCell(AmpsColumn, last, kDefaultAmps);
    table_.setCurrentRow(last);
    unsavedChanges = 1;
}

void SequenceEditor::Button2Click() {
    BusyScope busy(busy_);
    if (!currentCellAccepted())
        return;
    if (table_.stepCount() >= 2)
        table_.removeRow(table_.currentRow());
    if (table_.stepCount() == 1)
        c.Form2->Button2->setEnabled(false);
    cellEntryText = table_.cell(table_.currentCol(), table_.currentRow());
    unsavedChanges = 1;
}

void SequenceEditor::Button3Click() {
    BusyScope busy(busy_);
    if (!currentCellAccepted())
        return;
    const int r = table_.currentRow();
    table_.insertRow(r);
    table_.setCell(VoltsColumn, r, kDefaultVolts);
    table_.setCell(AmpsColumn, r, kDefaultAmps);
    for (int col : {VoltsColumn, AmpsColumn}) {
        if (table_.cell(col, r + 1).empty())
            table_.setCell(col, r + 1, cellDefault(col));
    }
    c.Form2->Button2->setEnabled(true);
    cellEntryText = table_.cell(table_.currentCol(), r);
    unsavedChanges = 1;
}

void SequenceEditor::Button4Click() {
    BusyScope busy(busy_);
    if (!currentCellAccepted())
        return;
    const int r = table_.currentRow();
    table_.insertRow(r);
    table_.setCell(VoltsColumn, r, table_.cell(VoltsColumn, r + 1));
    table_.setCell(AmpsColumn, r, table_.cell(AmpsColumn, r + 1));
    c.Form2->Button2->setEnabled(true);
    cellEntryText = table_.cell(table_.currentCol(), r);
    unsavedChanges = 1;
}

// ---------------------------------------------------------------- models

void SequenceEditor::tickModel(int model) {
    mainTicks_ = {model == 1, model == 2, model == 3};
    editorTicks_ = mainTicks_;
    restoreTicks();
}

void SequenceEditor::restoreTicks() {
    TForm1* f1 = c.Form1;
    TForm2* f = c.Form2;
    f1->KM417R1->setChecked(mainTicks_[0]);
    f1->Vd826R1->setChecked(mainTicks_[1]);
    f1->Zn826R1->setChecked(mainTicks_[2]);
    f->KM417R1->setChecked(editorTicks_[0]);
    f->Vd826R1->setChecked(editorTicks_[1]);
    f->ZN826R1->setChecked(editorTicks_[2]);
}

void SequenceEditor::selectModel(int model) {
    BusyScope busy(busy_);
    // The menu has toggled the clicked item already: the ticks show the model in
    // force until the switch succeeds.
    restoreTicks();
    closeCellEditor();
    const ModelSwitch result = switchModel(table_, model);
    switch (result.outcome) {
    case ModelSwitch::Outcome::Switched: {
        const SupplyModel* m = findSupplyModel(model);
        c.st.selectedModel = model;
        c.st.maxVolts = m->maxVolts;
        c.st.maxAmps = m->maxAmps;
        tickModel(model);
        break;
    }
    case ModelSwitch::Outcome::OverLimit:
        c.prompts.confirmOk(result.message);
        break;
    case ModelSwitch::Outcome::ConversionFailed:
        c.prompts.exception(result.message);
        break;
    case ModelSwitch::Outcome::UnknownModel:
        break;
    }
}

void SequenceEditor::applyLimitsOfTickedItem() {
    TForm1* f1 = c.Form1;
    const SupplyModel* m = f1->Vd826R1->isChecked()   ? findSupplyModel(2)
                           : f1->KM417R1->isChecked() ? findSupplyModel(1)
                                                      : nullptr;
    if (m == nullptr)
        return;
    c.st.maxVolts = m->maxVolts;
    c.st.maxAmps = m->maxAmps;
}

// ---------------------------------------------------------------- files

void SequenceEditor::resetTable() {
    table_.reset();
    unsavedChanges = 0;
    cellEntryText = table_.cell(table_.currentCol(), table_.currentRow());
}

SequenceEditor::SaveResult SequenceEditor::SaveSequence() {
    BusyScope busy(busy_);
    if (!currentCellAccepted())
        return SaveResult::NotSaved;
    const std::optional<std::string> name = c.prompts.saveFile(c.Form1->SaveDialog1);
    if (!name || name->empty())
        return SaveResult::NotSaved;

    const std::string bytes = writeSeq(table_, c.st.selectedModel);
    if (bytes.size() > kSeqMaxFileBytes) {
        // Such a file would not load again.
        c.prompts.error(kTextSeqTooLargeToSave);
        return SaveResult::WriteFailed;
    }
    // Written beside the old file and renamed over it once complete: a failure
    // leaves the old file as it was.
    QSaveFile file(QString::fromStdString(*name));
    const auto size = static_cast<qint64>(bytes.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), size) != size ||
        !file.commit()) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        c.prompts.error("Cannot write file " + *name + "\r" + reason);
        return SaveResult::WriteFailed;
    }
    unsavedChanges = 0;
    return SaveResult::Saved;
}

void SequenceEditor::LoadSequence() {
    BusyScope busy(busy_);
    closeCellEditor();
    const UnsavedAnswer answer = askAboutUnsavedChanges();
    if (answer == UnsavedAnswer::Stop)
        return;
    if (answer == UnsavedAnswer::SaveOffered)
        resetTable();

    const std::optional<std::string> name = c.prompts.openFile(c.Form1->OpenDialog1);
    if (!name || name->empty())
        return;
    QFile file(QString::fromStdString(*name));
    if (!file.open(QIODevice::ReadOnly))
        return;
    // One byte more than a sequence file may hold is enough to refuse a larger one.
    const QByteArray data = file.read(static_cast<qint64>(kSeqMaxFileBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        c.prompts.error("Cannot load file " + *name + "\r" + file.errorString().toStdString());
        return;
    }
    file.close();

    // A refused file changes nothing, the model included.
    const SeqReadResult read =
        loadSeq(std::string_view(data.constData(), static_cast<size_t>(data.size())), table_);
    if (!read.ok) {
        c.prompts.error("Cannot load file " + *name + "\r" + read.error);
        return;
    }
    if (read.model) {
        c.st.selectedModel = *read.model;
        tickModel(*read.model);
    }
    // The limits before the current cell moves: the cells left on the way are checked
    // against the limits of the model just loaded.
    applyLimitsOfTickedItem();

    // The last step, then the first Volts cell, becomes current; Delete is usable.
    table_.setCurrentRow(table_.RowCount() - 1);
    unsavedChanges = 0;
    c.Form2->Button2->setEnabled(true);
    table_.setCurrentCell(VoltsColumn, 1);
    cellEntryText = table_.cell(VoltsColumn, 1);

    // Show what was loaded.
    c.Form2->show();
    c.Form1->Button6->setEnabled(true);
}

void SequenceEditor::NewSequence() {
    BusyScope busy(busy_);
    closeCellEditor();
    if (askAboutUnsavedChanges() == UnsavedAnswer::Stop)
        return;
    resetTable();
}

void SequenceEditor::ImportCsv() {
    BusyScope busy(busy_);
    closeCellEditor();
    const std::optional<std::string> name = c.prompts.openFile(c.Form1->importdialog);
    if (!name || name->empty())
        return;
    QFile file(QString::fromStdString(*name));
    if (!file.open(QIODevice::ReadOnly)) {
        c.prompts.exception("Cannot open file " + *name);
        return;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        c.prompts.exception("Cannot open file " + *name);
        return;
    }
    file.close();
    const CsvImportResult result =
        importCsvInto(std::string_view(data.constData(), static_cast<size_t>(data.size())),
                      c.st.maxVolts, c.st.maxAmps, table_);
    if (!result.ok) {
        c.prompts.error("Cannot import file " + *name + "\r" + result.error);
        return;
    }
    cellEntryText = table_.cell(table_.currentCol(), table_.currentRow());
    unsavedChanges = 1;
}

} // namespace kadenzo
