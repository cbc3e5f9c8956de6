#include "scan/frmDIRLOOK.h"

#include "platform/ExitStatus.h"
#include "platform/Yielder.h"
#include "widgets/ImageBox.h"
#include "widgets/ScreenPlace.h"
#include "widgets/Twips.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int DriveTickMs = 100;

// A disk drive seen from the front with its busy light in one of three states.
QPixmap drawDrive(int frame)
{
    QPixmap pixmap(48, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(192, 192, 192));
    p.drawRoundedRect(QRectF(1.5, 6.5, 45, 20), 3, 3);
    p.setBrush(QColor(64, 64, 64));
    p.drawRect(QRectF(8.5, 14.5, 26, 3));
    static const QColor lights[3] = { QColor(0, 96, 0), QColor(0, 255, 0), QColor(255, 64, 0) };
    p.setBrush(lights[qBound(0, frame, 2)]);
    p.drawEllipse(QRectF(38.5, 19.5, 5, 4));
    return pixmap;
}

} // namespace

frmDIRLOOK::frmDIRLOOK(
    const MainSettings& settings, Session& session, const QString& programDirectory, Services services, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_random(QRandomGenerator::securelySeeded())
{
    setObjectName(QStringLiteral("frmDIRLOOK"));
    setWindowTitle(QStringLiteral("t'olq - Directory Pre-Scan"));
    Yielder* yielder = services.yielder;
    if (!yielder) {
        m_ownYielder = std::make_unique<EventLoopYielder>();
        yielder = m_ownYielder.get();
    }
    PreScanConfig config;
    config.programDirectory = programDirectory;
    config.threads = services.threads;
    m_engine = std::make_unique<PreScanEngine>(settings, session, config,
        PreScanPorts { services.prompter, *yielder, services.sound, services.volumes, *this });
    m_endProgram = [] {
        std::fflush(nullptr);
        std::_Exit(int(ExitStatus::Aborted));
    };
    buildControls();
    Form_Load();
}

frmDIRLOOK::~frmDIRLOOK() = default;

void frmDIRLOOK::buildControls()
{
    auto* grid = new QGridLayout(this);
    Label1 = new QLabel(QStringLiteral("Reading directory..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblDIRECTORY = new QLabel(this);
    lblDIRECTORY->setObjectName(QStringLiteral("lblDIRECTORY"));
    lblDIRECTORY->setTextFormat(Qt::PlainText);
    lblDIRECTORY->setMinimumWidth(320);
    lblDIRECTORY->setMaximumWidth(320);
    lblNUMBER = new QLabel(this);
    lblNUMBER->setObjectName(QStringLiteral("lblNUMBER"));
    lblNUMBER->setTextFormat(Qt::PlainText);
    cmdCANCEL = new QPushButton(QStringLiteral("Quit    "), this);
    cmdCANCEL->setObjectName(QStringLiteral("cmdCANCEL"));
    cmdPAUSE = new QPushButton(QStringLiteral("Pause"), this);
    cmdPAUSE->setObjectName(QStringLiteral("cmdPAUSE"));
    cmdKILL = new QPushButton(QStringLiteral("Abort  "), this);
    cmdKILL->setObjectName(QStringLiteral("cmdKILL"));
    for (int i = 0; i < 3; ++i)
        m_driveFrames[std::size_t(i)] = drawDrive(i);
    imgDRIVE = new QLabel(this);
    imgDRIVE->setObjectName(QStringLiteral("imgDRIVE"));
    imgDRIVE->setFixedSize(48, 40);
    imgDRIVE->setPixmap(m_driveFrames[0]);
    Picture2 = new ImageBox(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFixedSize(twips::px(600), twips::px(600));
    Picture2->hide();
    tmrDRIVE = new QTimer(this);
    tmrDRIVE->setObjectName(QStringLiteral("tmrDRIVE"));
    tmrDRIVE->setInterval(DriveTickMs);

    grid->addWidget(imgDRIVE, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addWidget(Picture2, 0, 0, 2, 1, Qt::AlignCenter);
    grid->addWidget(Label1, 0, 1);
    grid->addWidget(lblNUMBER, 0, 2, Qt::AlignRight);
    grid->addWidget(lblDIRECTORY, 1, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCANCEL);
    buttons->addWidget(cmdPAUSE);
    buttons->addWidget(cmdKILL);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connect(cmdCANCEL, &QPushButton::clicked, this, &frmDIRLOOK::cmdCANCEL_Click);
    connect(cmdPAUSE, &QPushButton::clicked, this, &frmDIRLOOK::cmdPAUSE_Click);
    connect(cmdKILL, &QPushButton::clicked, this, &frmDIRLOOK::cmdKILL_Click);
    connect(tmrDRIVE, &QTimer::timeout, this, &frmDIRLOOK::tmrDRIVE_Timer);
    tmrDRIVE->start();
}

void frmDIRLOOK::Form_Load()
{
    adjustSize();
    placeProgressWindow(this, m_session);
    m_firstActivation = true;
    m_engine->openCatalogue();
}

void frmDIRLOOK::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_firstActivation)
        QTimer::singleShot(0, this, &frmDIRLOOK::Form_Activate);
}

void frmDIRLOOK::Form_Activate()
{
    if (!m_firstActivation)
        return;
    m_firstActivation = false;
    PreScanEngine::Outcome outcome = PreScanEngine::Outcome::Failed;
    if (m_engine->catalogueOpen())
        outcome = m_engine->RunPreScan();
    if (outcome == PreScanEngine::Outcome::Aborted) {
        endAfterAbort();
        return;
    }
    close();
}

void frmDIRLOOK::cmdCANCEL_Click()
{
    m_engine->requestQuit();
}

void frmDIRLOOK::cmdPAUSE_Click()
{
    m_engine->togglePause();
}

// Abort: the run stops at its next yield and keeps what it wrote; the program ends there,
// leaving Scanning.dat for the next start to resume from. A paused run waits between two files,
// with what it wrote whole: the program ends at once.
void frmDIRLOOK::cmdKILL_Click()
{
    if (m_aborted)
        return;
    m_engine->requestAbort();
    if (!m_engine->running() || m_engine->Paused())
        endAfterAbort();
}

void frmDIRLOOK::endAfterAbort()
{
    if (m_aborted)
        return;
    m_aborted = true;
    try {
        m_engine->commitNow();
    } catch (const std::exception&) {
    }
    // A run still on the stack keeps its catalogue; the end of the program closes it.
    if (!m_engine->running())
        m_engine.reset();
    m_unloaded = true;
    m_endProgram();
}

void frmDIRLOOK::tmrDRIVE_Timer()
{
    m_driveFrame = int(m_random.generateDouble() * 3 + 1);
    imgDRIVE->setPixmap(m_driveFrames[std::size_t(m_driveFrame - 1)]);
}

void frmDIRLOOK::closeEvent(QCloseEvent* event)
{
    if (m_unloaded) {
        event->accept();
        return;
    }
    if (m_engine && m_engine->running()) {
        // A quit request; a paused run is released so that it can end.
        m_engine->requestQuit();
        if (m_engine->Paused())
            m_engine->togglePause();
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmDIRLOOK::Form_Unload()
{
    m_firstActivation = false;
    m_engine->unload();
    if (isMinimized()) {
        m_session.WasSearchMinmized = true;
    } else {
        m_session.PreScanTop = twips::of(y());
        m_session.PreScanLeft = twips::of(x());
    }
    tmrDRIVE->stop();
    m_unloaded = true;
    m_session.SearchUnloaded = true;
    emit unloaded();
}

void frmDIRLOOK::showDirectory(const QString& text)
{
    lblDIRECTORY->setText(text);
}

void frmDIRLOOK::showNumber(const QString& text)
{
    lblNUMBER->setText(text);
}

void frmDIRLOOK::showCaption(const QString& caption)
{
    setWindowTitle(caption);
}

bool frmDIRLOOK::isMinimized() const
{
    return QWidget::isMinimized();
}

void frmDIRLOOK::showPreviewInsteadOfAnimation()
{
    imgDRIVE->hide();
    tmrDRIVE->stop();
    Picture2->show();
}

void frmDIRLOOK::showPreview(const QImage& preview)
{
    Picture2->setDisplayMode(ImageBox::KeepSize);
    Picture2->setFixedSize(preview.size());
    Picture2->setImage(preview);
}
