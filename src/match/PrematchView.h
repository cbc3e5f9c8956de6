#pragma once

#include <QString>

// What the pre-match cycle shows: the window's caption, the progress label lblFOUND and whether
// the window is minimized. The window implements it; headless runs leave it out.
class PrematchView
{
public:
    virtual ~PrematchView() = default;
    virtual void setCaption(const QString& caption) = 0;
    virtual void setFoundText(const QString& text) = 0;
    virtual bool isMinimized() const = 0;
};
