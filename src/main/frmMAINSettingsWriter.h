#pragma once

#include "main/frmMAIN.h"
#include "review/ReviewPorts.h"

// The review's settings writes go through the main window, which ends the program when the
// settings file cannot be written.
class frmMAINSettingsWriter : public SettingsWriter
{
public:
    explicit frmMAINSettingsWriter(frmMAIN& main)
        : m_main(main)
    {
    }
    void writeSettings() override { m_main.WriteINI(); }

private:
    frmMAIN& m_main;
};
