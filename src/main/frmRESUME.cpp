#include "main/frmRESUME.h"
#include "widgets/ScreenPlace.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int BoxesPerRow = 8;

} // namespace

frmRESUME::frmRESUME(Session& session, const Volumes& volumes, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_volumes(volumes)
{
    setObjectName(QStringLiteral("frmRESUME"));
    setWindowTitle(QStringLiteral("t'olq! - Start / Resume Search"));
    setModal(true);
    Form_Load();
}

void frmRESUME::Form_Load()
{
    m_choices.load(m_session, m_volumes);

    auto* layout = new QVBoxLayout(this);
    optRESUME = new QRadioButton(QStringLiteral("&Resume my last search where I had left off..."));
    optRESUME->setObjectName(QStringLiteral("optRESUME"));
    optNEW = new QRadioButton(QStringLiteral("Start a &new search..."));
    optNEW->setObjectName(QStringLiteral("optNEW"));
    layout->addWidget(optRESUME);
    layout->addWidget(optNEW);
    Label1 = new QLabel(QStringLiteral("Re-Activate records for images on these drives without scanning..."));
    Label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(Label1);

    auto* grid = new QGridLayout;
    const QList<ReactivateBox>& boxes = m_choices.boxes();
    for (int i = 0; i < boxes.size(); ++i) {
        auto* box = new QCheckBox(boxes[i].mountPoint);
        box->setObjectName(QStringLiteral("chkDRIVE"));
        box->setChecked(boxes[i].ticked);
        box->setEnabled(boxes[i].enabled);
        grid->addWidget(box, i / BoxesPerRow, i % BoxesPerRow);
        connect(box, &QCheckBox::toggled, this, [this, i](bool ticked) { chkDRIVE_Click(i, ticked); });
        driveBoxes << box;
    }
    layout->addLayout(grid);

    cmdGO = new QPushButton(QStringLiteral("&Start"));
    cmdGO->setObjectName(QStringLiteral("cmdGO"));
    cmdGO->setDefault(true);
    layout->addWidget(cmdGO);

    showOptions();
    connect(optRESUME, &QRadioButton::toggled, this, &frmRESUME::optRESUME_Click);
    connect(optNEW, &QRadioButton::toggled, this, &frmRESUME::optNEW_Click);
    connect(cmdGO, &QPushButton::clicked, this, &frmRESUME::cmdGO_Click);

    // Centred over the main window.
    adjustSize();
    if (const QWidget* main = parentWidget() ? parentWidget()->window() : nullptr)
        centreOver(this, main);
}

void frmRESUME::showOptions()
{
    const QSignalBlocker resume(optRESUME);
    const QSignalBlocker fresh(optNEW);
    optRESUME->setEnabled(m_choices.resumeEnabled());
    optRESUME->setChecked(m_choices.resumeSelected());
    optNEW->setChecked(m_choices.newSelected());
}

void frmRESUME::chkDRIVE_Click(int index, bool ticked)
{
    m_choices.clickBox(index, ticked);
    showOptions();
}

void frmRESUME::optRESUME_Click(bool selected)
{
    if (selected)
        m_choices.selectResume();
    showOptions();
}

void frmRESUME::optNEW_Click(bool selected)
{
    if (selected)
        m_choices.selectNew();
    showOptions();
}

void frmRESUME::cmdGO_Click()
{
    m_choices.start(m_session);
    accept();
}
