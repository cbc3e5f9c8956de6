#include "scan/NameFilter.h"

#include "platform/Conventions.h"

namespace {

// Moves the text after the first "," of `from` into `rest`; `from` keeps the text before it.
void splitAtComma(QString& from, QString& rest)
{
    const int comma = from.indexOf(QLatin1Char(','));
    if (comma < 0)
        return;
    rest = from.mid(comma + 1);
    from.truncate(comma);
}

void cutAtDot(QString& word)
{
    const int dot = word.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        word = word.left(dot).trimmed();
}

} // namespace

FilterWords splitFilterWords(const QString& filterText)
{
    FilterWords w;
    w.FilterWord1 = filterText;
    splitAtComma(w.FilterWord1, w.FilterWord2);
    splitAtComma(w.FilterWord2, w.FilterWord3);
    const int comma = w.FilterWord3.indexOf(QLatin1Char(','));
    if (comma >= 0)
        w.FilterWord3.truncate(comma);
    cutAtDot(w.FilterWord1);
    cutAtDot(w.FilterWord2);
    cutAtDot(w.FilterWord3);
    if (w.FilterWord2.isEmpty())
        w.FilterWord2 = w.FilterWord1;
    if (w.FilterWord3.isEmpty())
        w.FilterWord3 = w.FilterWord2;
    w.FilterWord1 = conv::upper(w.FilterWord1);
    w.FilterWord2 = conv::upper(w.FilterWord2);
    w.FilterWord3 = conv::upper(w.FilterWord3);
    return w;
}

bool filterMatches(const FilterWords& words, const QString& fileName, const QString& fileType)
{
    const QString name = conv::upper(fileName);
    return conv::likeMatch(name, words.FilterWord1 + fileType) || conv::likeMatch(name, words.FilterWord2 + fileType)
        || conv::likeMatch(name, words.FilterWord3 + fileType);
}

bool reactivationAccepts(const FilterWords& words, const QString& fileName, const QString& fileType, bool notFilter)
{
    return filterMatches(words, fileName, fileType) != notFilter;
}

bool scanAccepts(const FilterWords& words, const QString& fileName, const QString& fileType, bool notFilter)
{
    return fileName.trimmed().size() > 4 && reactivationAccepts(words, fileName, fileType, notFilter);
}
