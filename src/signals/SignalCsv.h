// Spreadsheet files (CSV) of a signal table, independent of the protocol:
// writing as a spreadsheet opens it safely, reading what export writes and
// what spreadsheet programs save back.
//
// Written: UTF-8 with a byte-order mark, CR LF, the chosen separator, fields
// quoted as RFC 4180 says. A text that a spreadsheet would run as a formula is
// guarded by a leading apostrophe, which reading removes again.
// Read: UTF-8 with or without the mark, else Windows-1252; "," or ";" (found
// from the caption row); quoted fields with separators, quotes and line breaks.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "Prompts.h"

// Bounds that keep a wrong file from eating memory or time.
inline constexpr qint64 kCsvMaxBytes = 16 * 1024 * 1024;
inline constexpr int kCsvMaxFields = 256;
inline constexpr int kCsvMaxRecords = 100000;

// The separator a spreadsheet of this locale expects: ";" where the decimal
// separator is a comma, "," otherwise.
QChar csvDefaultSeparator();

// The text as written into a cell: guarded when a spreadsheet would take it
// for a formula ("=", "+", "-", "@" first and not a number), or when it begins
// with the guard itself (so that reading gives back exactly the text).
QString csvGuard(const QString& text);
QString csvUnguard(const QString& text);

// The whole file: mark, records (each cell guarded and quoted as needed), CR LF.
QByteArray csvEncode(const QVector<QStringList>& records, QChar separator);

// What a file holds, record by record (record 1 is the caption row).
struct CsvRecords {
    QVector<QStringList> records;
    QVector<int> numbers;  // the spreadsheet's row number of each record (blank lines skipped, but counted)
    QChar separator;
    bool utf8 = true;  // false: read as Windows-1252
};

// Called now and then while reading: bytes done and total.
using CsvProgress = std::function<void(qint64 done, qint64 total)>;

// Reads a file's bytes; false with a message for the user in *error (too large,
// not text, too many columns or rows, a quote never closed). Cells come back
// unguarded.
bool csvDecode(const QByteArray& bytes, CsvRecords* out, QString* error, const CsvProgress& progress = {});

// Reads the file at `path` (refusing one above kCsvMaxBytes before reading it).
bool csvReadFile(const QString& path, CsvRecords* out, QString* error, const CsvProgress& progress = {});

// A cell's position for messages: "Row 12, column "Add": ".
QString csvPlace(int record, const QString& column);

// Characters a signal table file cannot hold (outside Windows-1252, TAB, CR,
// LF): the first such character, or a null QChar when the text is fine.
QChar csvUnstorableChar(const QString& text);

// At most this many faults of an import are listed (a file this wrong needs another look, not a longer
// list); a last line then says there are more.
constexpr int kCsvMaxFaults = 200;
// True when `faults` is empty; a list that reached the limit is ended by that line.
bool csvSinFallos(QStringList* faults);

// Index of the menu item `text` stands for, each item given with every caption
// that means it; -1 when none. Letter case is not compared; *exact tells
// whether the text is one of the captions as written.
int csvMenuItem(const QVector<QStringList>& items, const QString& text, bool* exact);

// The caption row: for each field of `header`, the column it fills (-1: none),
// found among `names` (per column, every caption it may have, in any language).
// Unknown and repeated captions and the `required` columns missing (named by
// `captions`) go to `fault` (column caption, text).
using CsvFault = std::function<void(const QString& column, const QString& text)>;
QVector<int> csvColumns(const QStringList& header, const QVector<QStringList>& names, const QVector<int>& required,
                        const QStringList& captions, const CsvFault& fault);

// Whether every cell of a record is blank (rows a spreadsheet pads with separators).
bool csvBlankRecord(const QStringList& record);

// The fault of a cell holding a character the table file cannot hold, or an empty text.
QString csvCharFault(const QString& cell);

// While it lives, the messages of checks that would show a box are taken down
// instead (an import lists them with the row they belong to).
class CsvTakeDown : public Prompts {
public:
    CsvTakeDown() : m_previous(&prompts()) { installPrompts(this); }
    ~CsvTakeDown() override { installPrompts(m_previous); }
    int toolBox(const ToolBoxRequest& r) override {
        texts << r.text;
        return 1;
    }
    int systemBox(const QString& text, int, const QString&) override {
        texts << text;
        return Msg::OK;
    }
    QString inputBox(const QString&, const QString&, const QString& d) override { return d; }
    // The first message on one line.
    QString first() const { return texts.value(0).replace(QLatin1Char('\r'), QLatin1Char(' ')).trimmed(); }
    QStringList texts;

private:
    Prompts* m_previous;
};
