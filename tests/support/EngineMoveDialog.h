#pragma once

#include "dialogs/MoveDialog.h"

#include <QStringList>

#include <functional>

// A move dialog without its window: each showing moves the file to the entry in to with the
// dialog's own engine (no question; its messages go to the prompter), or is Cancel when to is "".
class EngineMoveDialog : public MoveDialog
{
public:
    EngineMoveDialog(Prompter& prompter, const Volumes& volumes)
        : engine(prompter, volumes)
    {
        settings = MoveSettings { true, QStringLiteral(".THN"), MediaPromptSettings { true, {} } };
    }
    MoveResult moveFile(const QString& fileName, const QString& from) override
    {
        shown << fileName + QStringLiteral(" from ") + from;
        const MoveOutcome outcome = to.isEmpty() ? MoveOutcome() : engine.moveFile(fileName, from, to, settings);
        if (outcome.kind != MoveOutcome::Moved)
            return { from, fileName, false };
        if (afterMove)
            afterMove();
        return { to, outcome.newName, true };
    }

    MoveFileEngine engine;
    MoveSettings settings;
    QString to;
    QStringList shown;
    std::function<void()> afterMove; // after the move, before the caller reads where the file went
};
