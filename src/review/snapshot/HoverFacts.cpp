#include "review/snapshot/HoverFacts.h"

#include "match/ImageFacts.h"
#include "platform/Conventions.h"
#include "session/Session.h"

#include <algorithm>
#include <cmath>

HoverFacts hoverFactsOf(const ImageFacts& slot, const Session& session, const QString& ifcd, QSize drawn)
{
    HoverFacts facts;
    facts.name = slot.PATH + QStringLiteral("  ") + slot.REFNAME + slot.EXTENSION;
    facts.size = conv::signedText(std::int64_t(std::llround(conv::val(slot.SIZE)))) + QStringLiteral(" bytes");
    facts.date = slot.DATE;
    facts.counters = deletionCountersText(session.NumberDeleted, session.TotalDeleted);
    facts.dimensions = QString::number(std::max(0, drawn.width())) + QStringLiteral(" x ")
        + QString::number(std::max(0, drawn.height()));
    facts.colour = locationColour(slot, ifcd);
    return facts;
}

std::array<QLine, 4> selectionBox(QRect thumbnail)
{
    const int l = thumbnail.x();
    const int t = thumbnail.y();
    const int w = thumbnail.width();
    const int h = thumbnail.height();
    return { QLine(l - 20, t - 20, l + w, t - 20), QLine(l - 20, t + h + 20, l + w, t + h + 20),
        QLine(l - 20, t - 20, l - 20, t + h + 10), QLine(l + w + 10, t - 20, l + w + 10, t + h + 10) };
}
