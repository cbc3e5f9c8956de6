#pragma once

#include "dialogs/ImageViewer.h"
#include "dialogs/ViewerLayout.h"

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class ImageBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class frmALTVIEW;

// The two-image viewer. A review makes it when it opens and keeps it (hidden between views)
// until it closes, so the zoom, the size and the place of the window carry over:
//
//   const ViewResult result = viewer.view({ file1, size1 }, { file2, size2 }, [&](int side) {
//       ... status line, media prompt for that side
//   });
//
// A side that cannot be drawn is offered to the external viewer launcher first and shows
// error.bmp; the viewer is shown when at least one side loaded.
class frmVIEWIMAGES : public QDialog, public ImageViewer
{
    Q_OBJECT
public:
    frmVIEWIMAGES(frmALTVIEW& launcher, QWidget* parent = nullptr);

    ViewResult view(
        const ViewSide& side1, const ViewSide& side2, const std::function<void(int)>& beforeLoad = {}) override;
    // The hand-over and the loading of view() without the modal showing; true when a side loaded.
    bool prepare(const ViewSide& side1, const ViewSide& side2, const std::function<void(int)>& beforeLoad = {});

    const QString& DelPic() const { return m_delPic; }

    std::array<QFrame*, 2> Picturebox {};
    std::array<QWidget*, 2> Picture {};
    std::array<ImageBox*, 2> gvbIMAGE {};
    std::array<QLabel*, 2> picIMAGE {};
    std::array<QScrollBar*, 2> VScroll {};
    std::array<QScrollBar*, 2> HScroll {};
    std::array<QPushButton*, 2> cmdCORNER {};
    std::array<QLabel*, 2> lblFILE {};
    std::array<QLabel*, 2> lblSIZE {};
    std::array<QPushButton*, 2> cmdDELETE {};
    std::array<QPushButton*, 2> cmdVIEW {};
    QPushButton* cmdRETURN = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void gvbIMAGE1_Click();
    void cmdDELETE1_Click();
    void cmdDELETE2_Click();
    void cmdRETURN_Click();
    void picIMAGE_Click();
    void cmdVIEW1_Click();
    void cmdVIEW2_Click();
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);
    void HScroll2_Change(int value);
    void VScroll2_Change(int value);

private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    bool loadSide(int side, const QString& file);
    void fitSide(int side);
    void letGo();
    void externalView(int side);

    frmALTVIEW& m_launcher;
    std::array<QString, 2> m_viewFile; // ViewFile1, ViewFile2
    std::array<QString, 2> m_viewSize; // ViewSize1, ViewSize2
    QString m_delPic;
    bool m_layingOut = false;
};
