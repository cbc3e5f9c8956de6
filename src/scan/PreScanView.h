#pragma once

#include <QImage>
#include <QString>

// What the pre-scan shows, as a port: the window renders it, tests script it.
class PreScanView
{
public:
    virtual ~PreScanView() = default;
    // lblDIRECTORY: housekeeping captions, then the directory and file being read.
    virtual void showDirectory(const QString& text) = 0;
    // lblNUMBER: "n found...".
    virtual void showNumber(const QString& text) = 0;
    virtual void showCaption(const QString& caption) = 0;
    virtual bool isMinimized() const = 0;
    // The statistics modes show the preview in place of the drive animation.
    virtual void showPreviewInsteadOfAnimation() = 0;
    // Whether the view draws previews at all (a headless run does not).
    virtual bool wantsPreview() const = 0;
    // The image being read, already fitted into the preview box.
    virtual void showPreview(const QImage& preview) = 0;
};

// A view that shows nothing, for headless runs.
class NullPreScanView : public PreScanView
{
public:
    void showDirectory(const QString&) override { }
    void showNumber(const QString&) override { }
    void showCaption(const QString&) override { }
    bool isMinimized() const override { return false; }
    void showPreviewInsteadOfAnimation() override { }
    bool wantsPreview() const override { return false; }
    void showPreview(const QImage&) override { }
};
