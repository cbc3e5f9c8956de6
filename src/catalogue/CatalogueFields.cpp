#include "catalogue/CatalogueFields.h"

#include "platform/Conventions.h"

#include <QDate>
#include <QHash>
#include <QTime>
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <stdexcept>

namespace CatalogueFields {

namespace {

constexpr std::array<const char*, Count> Names = { "RECNUM", "RTAG", "DRIVEVOLUME", "PATH", "NAME", "REFNAME",
    "BASENAME", "EXTENSION", "WHOLENAME", "WHOLEBASE", "SIZE", "DATE", "CHECKSUM", "XYRATIO", "RGB", "QRGB", "SOFTRGB",
    "SOFTQRGB", "PXLRAY", "PXLNUM", "X", "Y", "ACTIVE", "REF", "ACCESSED", "STAG", "DISKNAME" };

// Text fields, by field; nullptr for the numeric ones and DATE.
QString* textField(CatalogueRecord& r, int field)
{
    switch (field) {
    case RTAG:
        return &r.RTAG;
    case DRIVEVOLUME:
        return &r.DRIVEVOLUME;
    case PATH:
        return &r.PATH;
    case NAME:
        return &r.NAME;
    case REFNAME:
        return &r.REFNAME;
    case BASENAME:
        return &r.BASENAME;
    case EXTENSION:
        return &r.EXTENSION;
    case WHOLENAME:
        return &r.WHOLENAME;
    case WHOLEBASE:
        return &r.WHOLEBASE;
    case CHECKSUM:
        return &r.CHECKSUM;
    case RGB:
        return &r.RGB;
    case QRGB:
        return &r.QRGB;
    case SOFTRGB:
        return &r.SOFTRGB;
    case SOFTQRGB:
        return &r.SOFTQRGB;
    case PXLRAY:
        return &r.PXLRAY;
    case ACTIVE:
        return &r.ACTIVE;
    case REF:
        return &r.REF;
    case STAG:
        return &r.STAG;
    case DISKNAME:
        return &r.DISKNAME;
    default:
        return nullptr;
    }
}

double* doubleField(CatalogueRecord& r, int field)
{
    switch (field) {
    case RECNUM:
        return &r.RECNUM;
    case SIZE:
        return &r.SIZE;
    case XYRATIO:
        return &r.XYRATIO;
    case ACCESSED:
        return &r.ACCESSED;
    default:
        return nullptr;
    }
}

int* intField(CatalogueRecord& r, int field)
{
    switch (field) {
    case PXLNUM:
        return &r.PXLNUM;
    case X:
        return &r.X;
    case Y:
        return &r.Y;
    default:
        return nullptr;
    }
}

void checkField(int field)
{
    if (field < 0 || field >= Count)
        throw std::out_of_range("no such field of FILES");
}

// Most text fields hold a single blank when nothing was gathered: share one string for them.
const QString& sharedBlank()
{
    static const QString blank = QStringLiteral(" ");
    return blank;
}

void bindText(sqlite3_stmt* statement, int parameter, const QString& text)
{
    if (text.size() == 1 && text.at(0) == u' ') {
        sqlite3_bind_text(statement, parameter, " ", 1, SQLITE_STATIC);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, parameter, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// Whether a text already holds the given bytes, for texts of ASCII only: a row read after a
// row of the same value keeps the string it has instead of making an equal one.
bool sameAscii(const QString& target, const char* text, int length)
{
    if (target.size() != length)
        return false;
    const QChar* units = target.constData();
    for (int i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80 || units[i].unicode() != byte)
            return false;
    }
    return true;
}

// How SQLite gives a field: as text (the text fields and DATE), a double or a 32-bit integer.
enum class Kind { Text, Double, Int };
constexpr Kind kindOf(int field)
{
    switch (field) {
    case RECNUM:
    case SIZE:
    case XYRATIO:
    case ACCESSED:
        return Kind::Double;
    case PXLNUM:
    case X:
    case Y:
        return Kind::Int;
    default:
        return Kind::Text;
    }
}

int digits(const char* p, int count)
{
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

} // namespace

const char* name(int field)
{
    checkField(field);
    return Names[size_t(field)];
}

int indexOf(QAnyStringView fieldName)
{
    for (int i = 0; i < Count; ++i) {
        if (QAnyStringView::compare(fieldName, QLatin1String(Names[size_t(i)]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int requireIndex(QAnyStringView fieldName)
{
    const int field = indexOf(fieldName);
    if (field < 0)
        throw std::invalid_argument("no such field of FILES: " + fieldName.toString().toStdString());
    return field;
}

const QByteArray& columnList()
{
    static const QByteArray list = [] {
        QByteArray text;
        for (int i = 0; i < Count; ++i) {
            if (i)
                text += ", ";
            text += Names[size_t(i)];
        }
        return text;
    }();
    return list;
}

QVariant value(const CatalogueRecord& record, int field)
{
    checkField(field);
    auto& r = const_cast<CatalogueRecord&>(record);
    if (QString* text = textField(r, field))
        return *text;
    if (double* number = doubleField(r, field))
        return *number;
    if (int* number = intField(r, field))
        return *number;
    return record.DATE;
}

void setValue(CatalogueRecord& record, int field, const QVariant& value)
{
    checkField(field);
    if (QString* text = textField(record, field))
        *text = value.toString();
    else if (double* number = doubleField(record, field))
        *number = value.toDouble();
    else if (int* number = intField(record, field))
        *number = value.toInt();
    else
        record.DATE = value.toDateTime();
}

QByteArray dateText(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return {};
    QDate date = dateTime.date();
    QTime time = dateTime.time();
    // Values this module made carry the local offset of their wall time: take them as they are.
    const bool wallTime = conv::holdsLocalWallTime(dateTime);
    if (!wallTime) {
        const QDateTime local = dateTime.toLocalTime();
        date = local.date();
        time = local.time();
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
        time.hour(), time.minute(), time.second());
    return QByteArray(text, 19);
}

QDateTime parseDate(const char* text, int length)
{
    if (!text || length == 0)
        return {};
    // The stored form, parsed by hand: a catalogue walk reads it for every row.
    if (length == 19 && text[4] == '-' && text[7] == '-' && text[10] == ' ' && text[13] == ':' && text[16] == ':') {
        const QDate date(digits(text, 4), digits(text + 5, 2), digits(text + 8, 2));
        const QTime time(digits(text + 11, 2), digits(text + 14, 2), digits(text + 17, 2));
        if (date.isValid() && time.isValid())
            return QDateTime(date, time, Qt::OffsetFromUTC, conv::localOffsetAt(date, time));
    }
    return QDateTime::fromString(QString::fromUtf8(text, length), Qt::ISODate);
}

void bindField(sqlite3_stmt* statement, int parameter, const CatalogueRecord& record, int field)
{
    checkField(field);
    auto& r = const_cast<CatalogueRecord&>(record);
    if (const QString* text = textField(r, field)) {
        bindText(statement, parameter, *text);
    } else if (const double* number = doubleField(r, field)) {
        sqlite3_bind_double(statement, parameter, *number);
    } else if (const int* number = intField(r, field)) {
        sqlite3_bind_int(statement, parameter, *number);
    } else {
        const QByteArray date = dateText(record.DATE);
        if (date.isEmpty())
            sqlite3_bind_null(statement, parameter);
        else
            sqlite3_bind_text(statement, parameter, date.constData(), int(date.size()), SQLITE_TRANSIENT);
    }
}

void bindValue(sqlite3_stmt* statement, int parameter, const QVariant& value)
{
    if (value.isNull()) {
        sqlite3_bind_null(statement, parameter);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(statement, parameter, value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(statement, parameter, value.toDouble());
        return;
    case QMetaType::QDateTime: {
        const QByteArray date = dateText(value.toDateTime());
        sqlite3_bind_text(statement, parameter, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        return;
    }
    default:
        bindText(statement, parameter, value.toString());
        return;
    }
}

void readRecord(sqlite3_stmt* statement, int firstColumn, CatalogueRecord& record)
{
    for (int field = 0; field < Count; ++field) {
        const int column = firstColumn + field;
        if (kindOf(field) == Kind::Text) {
            // The text first: its length is known once SQLite has made it.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            setFromText(record, field, text, sqlite3_column_bytes(statement, column));
        } else {
            setFromNumber(record, field, readNumber(statement, column, field));
        }
    }
}

bool storedAsText(int field)
{
    checkField(field);
    return kindOf(field) == Kind::Text;
}

double readNumber(sqlite3_stmt* statement, int column, int field)
{
    if (kindOf(field) == Kind::Int)
        return sqlite3_column_int(statement, column);
    return sqlite3_column_double(statement, column);
}

void setFromText(CatalogueRecord& record, int field, const char* text, int length)
{
    if (QString* target = textField(record, field)) {
        if (!text || length == 0)
            *target = QString();
        else if (length == 1 && text[0] == ' ')
            *target = sharedBlank();
        else if (!sameAscii(*target, text, length))
            *target = QString::fromUtf8(text, length);
    } else if (field == DATE) {
        record.DATE = parseDate(text, length);
    }
}

void setFromNumber(CatalogueRecord& record, int field, double value)
{
    if (double* number = doubleField(record, field))
        *number = value;
    else if (int* number = intField(record, field))
        *number = int(value);
}

} // namespace CatalogueFields
