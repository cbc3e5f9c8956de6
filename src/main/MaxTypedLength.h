#pragma once

#include <QValidator>

// Limits what the user types to a number of characters, as a text box's maximum length does;
// text set by the program may be longer (a value read from the settings file is kept whole).
class MaxTypedLength : public QValidator
{
public:
    MaxTypedLength(int maximum, QObject* parent)
        : QValidator(parent)
        , m_maximum(maximum)
    {
    }
    State validate(QString& input, int&) const override { return input.size() > m_maximum ? Invalid : Acceptable; }

private:
    int m_maximum;
};
