#include "session/SettingsTable.h"

#include "platform/Conventions.h"
#include "platform/TextLines.h"

#include <array>
#include <cmath>
#include <limits>
#include <type_traits>

namespace settingstable {

namespace {

// The option buttons of the modes, in AllComparisonModes order.
constexpr std::array<const char*, 8> ModeControls { "optNAME", "optSIZE", "optNAMESIZE", "optNUMBERED", "optCHECKSUM",
    "optPATTERN", "optAVERAGERGB", "optQUADRGB" };

std::vector<Row> makeRows()
{
    using S = MainSettings;
    using V = Session;
    using L = QLatin1StringView;
    const std::monostate none;
    // The columns of inverted and marksChange.
    constexpr bool inverted = true, asIs = false;
    constexpr bool marks = true, keeps = false;
    std::vector<Row> rows {
        { Section::CurrentList, "LIST NAME", Line::ListName, "lblLISTNAME", &S::listName, asIs, keeps, L("General") },
        { Section::CurrentList, "AUTOSAVE DIR LIST", Line::Flag, "chkSAVELIST", &S::saveList, asIs, keeps, false },
        { Section::CurrentList, "USE SINGLE DATABASE", Line::Flag, "chkSINGLETABLE", &S::singleTable, asIs, marks,
            false },
    };
    for (std::size_t i = 0; i < AllComparisonModes.size(); ++i) {
        const ComparisonMode mode = AllComparisonModes[i];
        rows.push_back({ Section::Mode, modeSettingsLine(mode), Line::Flag, ModeControls[i], ModeOption { mode }, asIs,
            marks, mode == ComparisonMode::Name });
    }
    rows.insert(rows.end(),
        {
            { Section::Mode, "IGNORE EXTENSION", Line::Flag, "chkIGNORE", &S::ignoreExtension, asIs, keeps, true },
            { Section::Mode, "RGB TOLERANCE", Line::Key, "txtTOLERANCE", &S::tolerance, asIs, keeps, L("5") },
            { Section::Options, "USE SOFTMATCH", Line::Flag, "chkSOFTMATCH", &S::softMatch, asIs, marks, false },
            { Section::Options, "EXCLUSIVE DIR MATCHING", Line::Flag, "chkEXCLUSIVE", &S::exclusive, asIs, marks,
                false },
            { Section::Options, "USE SNAPSHOT", Line::Flag, "chkSNAPSHOT", &S::snapshot, asIs, keeps, false },
            { Section::Options, "USE RECYCLE BIN", Line::Flag, "chkRECYCLE", &S::recycle, asIs, keeps, false },
            { Section::Options, "DO NOT CONFIRM DELETES", Line::Flag, "chkCONFIRM", &S::noConfirm, asIs, keeps, false },
            { Section::Options, "AUTO LOAD NEXT", Line::Flag, "chkAUTONEXT", &S::autoNext, asIs, keeps, false },
            { Section::Options, "THUMBNAIL", Line::KeyUnlessEmpty, "txtTHUMBNAILEXT", &S::thumbnailExt, asIs, keeps,
                L(".THN") },
            { Section::Options, "FILTER", Line::Key, "txtFILTER", &S::filter, asIs, keeps, L("*") },
            { Section::Options, "NOT FILTER", Line::Flag, "chkNOT", &S::notFilter, asIs, marks, false },
        });
    for (int i = 0; i < FileTypeCount; ++i) {
        const FileType& type = FileTypes[std::size_t(i)];
        rows.push_back({ Section::FileTypes, QString::fromLatin1(type.extension), Line::Flag, type.control,
            FileTypeBox { i }, asIs, marks, false });
    }
    rows.insert(rows.end(),
        {
            { Section::Misc, "FILES DELETED", Line::Counter, nullptr, &V::TotalDeleted, asIs, keeps, none },
            { Section::Misc, "BYTES RECOVERED", Line::Counter, nullptr, RecoveredBytesTotal {}, asIs, keeps, none },
            { Section::Misc, "MONTH COMPACTED", Line::Key, nullptr, &V::CompactedMonth, asIs, keeps, 0 },
            { Section::Misc, "ALTERNATE VIEWER", Line::Key, nullptr, &V::AltViewer, asIs, keeps, L("") },
            { Section::Misc, "SEARCH COMPLETED", Line::Key, nullptr, &V::SearchCompleted, asIs, keeps, L("NO") },
            { Section::Misc, "REACTIVATE", Line::Key, nullptr, &V::ReactivateDrives, asIs, keeps, L("") },
            { Section::Misc, "STOPPED AT RECORD", Line::Key, nullptr, &V::StoppedAtRecord, asIs, keeps, 0 },
            { Section::Misc, "LAST DIRECTORY", Line::Key, nullptr, &V::LastDirUsed, asIs, keeps, Place::HomeDirectory },
            { Section::Misc, "WAV DIRECTORY", Line::Key, nullptr, &V::WavDirectory, asIs, keeps,
                Place::ProgramDirectory },
            { Section::Misc, "SCANBAR TOP", Line::Key, nullptr, &V::PreScanTop, asIs, keeps,
                Session::NoStoredPosition },
            { Section::Misc, "SCANBAR LEFT", Line::Key, nullptr, &V::PreScanLeft, asIs, keeps,
                Session::NoStoredPosition },
            { Section::Misc, "DISABLE FILE POLLING", Line::FlagAnywhere, nullptr, &V::DisableFilePolling, asIs, keeps,
                false },
            { Section::Misc, "DISABLE END STATS MESSAGE", Line::FlagAnywhere, nullptr, &V::ShowEndStats, inverted,
                keeps, true },
            { Section::Misc, "DISABLE SOUND", Line::FlagAnywhere, "chkNOSOUND", &S::noSound, asIs, keeps, false },
            { Section::Misc, "FIX JPEG FILES", Line::Flag, "chkJPEG", &S::fixJpeg, asIs, keeps, false },
            { Section::Misc, "RUN PRE-MATCH CYCLE", Line::Flag, "chkPREMATCH", &S::preMatch, asIs, keeps, false },
            { Section::Misc, "DO NOT AUTOPURGE", Line::Flag, nullptr, &V::ThreeMonthPurge, inverted, keeps, true },
            { Section::Misc, "IDENTIFY BY LOCATION", Line::Flag, nullptr, &V::IdentifyByLocation, asIs, keeps, false },
            { Section::Misc, "NO WARNINGS", Line::Flag, nullptr, &V::NoWarnings, asIs, keeps, false },
            // Controls of the window that the settings file does not keep.
            { Section::None, {}, Line::None, "chkGATHER", &S::gather, asIs, marks, false },
            { Section::None, {}, Line::None, "chkTREEMODEIFCD", &S::treeModeIfcd, asIs, keeps, false },
            { Section::None, {}, Line::None, "txtIFCD", &S::ifcd, asIs, keeps, L("") },
        });
    return rows;
}

template <typename> struct MemberOf;
template <typename T, typename C> struct MemberOf<T C::*>
{
    using Class = C;
};

// Calls f with a reference to the row's variable, or with the row's ModeOption or
// RecoveredBytesTotal, which stand for more than one variable.
template <typename Settings, typename Values, typename F>
decltype(auto) visitField(const Row& row, Settings& settings, Values& session, F&& f)
{
    return std::visit(
        [&](auto field) -> decltype(auto) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, ModeOption> || std::is_same_v<Field, RecoveredBytesTotal>)
                return f(field);
            else if constexpr (std::is_same_v<Field, FileTypeBox>)
                return f(settings.fileTypes[std::size_t(field.index)]);
            else if constexpr (std::is_same_v<typename MemberOf<Field>::Class, MainSettings>)
                return f(settings.*field);
            else
                return f(session.*field);
        },
        row.field);
}

template <typename T, typename U> constexpr bool Is = std::is_same_v<std::remove_cvref_t<T>, U>;
template <typename T> constexpr bool IsWholeNumber = Is<T, qint32> || Is<T, qint16>;

// The whole number of a text, when it fits the variable; a number that does not fit leaves the
// variable as it was.
template <typename Int> void setWholeNumber(Int& variable, const QString& text)
{
    const double value = conv::val(text);
    if (!std::isfinite(value))
        return;
    if (value < double(std::numeric_limits<Int>::min()) - 0.5 || value > double(std::numeric_limits<Int>::max()) + 0.5)
        return;
    const std::int64_t whole = conv::roundHalfEven(value);
    if (whole < std::numeric_limits<Int>::min() || whole > std::numeric_limits<Int>::max())
        return;
    variable = Int(whole);
}

QString placeOf(Place place, const QString& programDirectory)
{
    if (place == Place::HomeDirectory)
        return defaultStartDirectory();
    return programDirectory.endsWith(QLatin1Char('/')) ? programDirectory : programDirectory + QLatin1Char('/');
}

// Calls f with a reference to the row's variable when it is one of target's (a MainSettings or
// a Session), or with the row's ModeOption, which stands for the settings' mode. A row of the
// other's, and the recovered space, which has no design value, are passed over: so each can take
// its design values without the other.
template <typename Target, typename F> void visitOwnField(const Row& row, Target& target, F&& f)
{
    std::visit(
        [&](auto field) {
            using Field = decltype(field);
            if constexpr (std::is_same_v<Field, ModeOption>) {
                if constexpr (std::is_same_v<Target, MainSettings>)
                    f(field);
            } else if constexpr (std::is_same_v<Field, FileTypeBox>) {
                if constexpr (std::is_same_v<Target, MainSettings>)
                    f(target.fileTypes[std::size_t(field.index)]);
            } else if constexpr (std::is_member_object_pointer_v<Field>) {
                if constexpr (std::is_same_v<typename MemberOf<Field>::Class, Target>)
                    f(target.*field);
            }
        },
        row.field);
}

// A design value put into its variable. A function of its own, not a lambda inside the visit of
// the variable, so that each branch is checked only for the types it is taken with.
template <typename T, typename D, typename Target>
void assignDesign(T& field, const D& design, Target& target, const QString& programDirectory)
{
    if constexpr (std::is_same_v<T, ModeOption> && std::is_same_v<D, bool>) {
        if (design)
            target.mode = field.mode;
    } else if constexpr (std::is_same_v<T, bool> && std::is_same_v<D, bool>) {
        field = design;
    } else if constexpr (IsWholeNumber<T> && std::is_same_v<D, int>) {
        field = T(design);
    } else if constexpr (std::is_same_v<T, QString> && std::is_same_v<D, QLatin1StringView>) {
        field = design;
    } else if constexpr (std::is_same_v<T, QString> && std::is_same_v<D, Place>) {
        field = placeOf(design, programDirectory);
    } else if constexpr (!std::is_same_v<D, std::monostate>) {
        Q_ASSERT_X(false, "settingstable", "a design value of another type than its variable");
    }
}

template <typename Target> void applyDesign(const Row& row, Target& target, const QString& programDirectory)
{
    visitOwnField(row, target, [&](auto& field) {
        std::visit([&](const auto& design) { assignDesign(field, design, target, programDirectory); }, row.design);
    });
}

void applyDesign(const Row& row, MainSettings& settings, Session& session, const QString& programDirectory)
{
    applyDesign(row, settings, programDirectory);
    applyDesign(row, session, programDirectory);
}

} // namespace

const std::vector<Row>& rows()
{
    static const std::vector<Row> table = makeRows();
    return table;
}

bool ticked(const Row& row, const MainSettings& settings, const Session& session)
{
    return visitField(row, settings, session, [&](auto&& field) {
        if constexpr (Is<decltype(field), ModeOption>)
            return settings.mode == field.mode;
        else if constexpr (Is<decltype(field), bool>)
            return bool(field);
        else
            return false;
    });
}

void setTicked(const Row& row, bool value, MainSettings& settings, Session& session)
{
    visitField(row, settings, session, [&](auto&& field) {
        if constexpr (Is<decltype(field), ModeOption>) {
            if (value)
                settings.mode = field.mode;
        } else if constexpr (Is<decltype(field), bool>) {
            field = value;
        }
    });
}

void applyFlag(const Row& row, MainSettings& settings, Session& session)
{
    visitField(row, settings, session, [&](auto&& field) {
        if constexpr (Is<decltype(field), ModeOption>) {
            settingschange::selectMode(settings, session, field.mode);
        } else if constexpr (Is<decltype(field), bool>) {
            if (row.marksChange)
                settingschange::setSearchBox(field, !row.inverted, session);
            else
                field = !row.inverted;
        }
    });
}

QString text(const Row& row, const MainSettings& settings, const Session& session)
{
    return visitField(row, settings, session, [&](auto&& field) {
        if constexpr (Is<decltype(field), RecoveredBytesTotal>)
            return conv::shortestDouble(session.TotalSectorBytes + session.RecoveredSectorBytes);
        else if constexpr (Is<decltype(field), QString>)
            return QString(field);
        else if constexpr (IsWholeNumber<decltype(field)>)
            return QString::number(field);
        else
            return QString();
    });
}

void setText(const Row& row, const QString& text, MainSettings& settings, Session& session)
{
    visitField(row, settings, session, [&](auto&& field) {
        if constexpr (Is<decltype(field), RecoveredBytesTotal>) {
            const double bytes = conv::val(text);
            if (std::isfinite(bytes))
                session.TotalSectorBytes = bytes;
        } else if constexpr (Is<decltype(field), QString>) {
            // A line break would end the value's line in the file that keeps it: the value
            // taken last stays.
            if (!textlines::holdsLineBreak(text))
                field = text;
        } else if constexpr (IsWholeNumber<decltype(field)>) {
            setWholeNumber(field, text);
        }
    });
}

void applyDesignValues(MainSettings& settings, Session& session, const QString& programDirectory)
{
    for (const Row& row : rows())
        applyDesign(row, settings, session, programDirectory);
}

void applyDesignValues(MainSettings& settings)
{
    for (const Row& row : rows())
        applyDesign(row, settings, QString());
}

void applyDesignValues(Session& session)
{
    for (const Row& row : rows()) {
        if (row.design != Design(Place::ProgramDirectory))
            applyDesign(row, session, QString());
    }
}

void applyReaderPresets(MainSettings& settings, Session& session, const QString& programDirectory)
{
    for (const Row& row : rows()) {
        switch (row.line) {
        case Line::None:
        case Line::Counter:
            break;
        case Line::Flag:
        case Line::FlagAnywhere:
            // A mode option's design value is the mode a file without a mode line reads.
            if (std::holds_alternative<ModeOption>(row.field))
                applyDesign(row, settings, session, programDirectory);
            else
                setTicked(row, row.inverted, settings, session);
            break;
        case Line::KeyUnlessEmpty:
            setText(row, QString(), settings, session);
            break;
        case Line::ListName:
        case Line::Key:
            applyDesign(row, settings, session, programDirectory);
            break;
        }
    }
}

QString designText(QLatin1StringView key)
{
    for (const Row& row : rows()) {
        if (row.text == key && std::holds_alternative<QLatin1StringView>(row.design))
            return std::get<QLatin1StringView>(row.design);
    }
    Q_ASSERT_X(false, "settingstable", "no key row of that text with a design text");
    return {};
}

} // namespace settingstable

namespace settingschange {

void selectMode(MainSettings& settings, Session& session, ComparisonMode mode)
{
    if (settings.mode == mode)
        return;
    settings.mode = mode;
    session.ChangedSearch = true;
    setSearchBox(settings.softMatch, false, session);
}

void setSearchBox(bool& box, bool value, Session& session)
{
    if (box == value)
        return;
    box = value;
    session.ChangedSearch = true;
}

} // namespace settingschange
