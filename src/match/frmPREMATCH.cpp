#include "match/frmPREMATCH.h"

#include "match/PrematchCycle.h"
#include "match/PrematchView.h"
#include "session/MainSettings.h"
#include "session/Session.h"
#include "widgets/ScreenPlace.h"
#include "widgets/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

class frmPREMATCH::View : public PrematchView
{
public:
    explicit View(frmPREMATCH& window)
        : m_window(window)
    {
    }
    void setCaption(const QString& caption) override { m_window.setWindowTitle(caption); }
    void setFoundText(const QString& text) override { m_window.showFound(text); }
    bool isMinimized() const override { return m_window.isMinimized(); }

private:
    frmPREMATCH& m_window;
};

using twips::px;

namespace {

// A small picture for the animation: a coloured card with a frame.
QPixmap card(QSize size, QColor colour)
{
    QPixmap pixmap(size);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(colour.darker(160));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.drawEllipse(QRect(QPoint(size.width() / 4, size.height() / 4), size / 2));
    return pixmap;
}

} // namespace

frmPREMATCH::frmPREMATCH(const MainSettings& settings, Session& session, const QString& programDirectory,
    Prompter& prompter, SoundPlayer& sound, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_session(session)
    , m_confirmer(MediaPromptSettings { session.DisableFilePolling, session.ReactivateDrives }, m_volumes, prompter)
    , m_view(std::make_unique<View>(*this))
    , m_programEnd([] { std::_Exit(0); })
{
    setObjectName(QStringLiteral("frmPREMATCH"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint);
    m_cycle = std::make_unique<PrematchCycle>(
        settings, session, programDirectory, PrematchPorts { m_yielder, prompter, sound, m_confirmer, m_view.get() });
    buildControls();
    Form_Load();
}

frmPREMATCH::~frmPREMATCH() = default;

void frmPREMATCH::buildControls()
{
    setWindowTitle(PrematchCycle::Caption);
    setFixedSize(px(7620), px(990));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(192, 255, 192));
    setPalette(colours);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(px(1560, 0, 990, 960));
    Image1->setPixmap(card(QSize(66, 64), QColor(96, 160, 96)));
    const std::array<QRect, 5> places { px(120, 120, 480, 600), px(240, 240, 585, 600), px(360, 380, 600, 495),
        px(480, 300, 780, 600), px(720, 160, 660, 585) };
    const std::array<QColor, 5> tints { QColor(255, 200, 120), QColor(160, 200, 255), QColor(255, 160, 200),
        QColor(200, 255, 160), QColor(240, 240, 140) };
    for (int i = 0; i < 5; ++i) {
        imgPIC[std::size_t(i)] = new QLabel(this);
        imgPIC[std::size_t(i)]->setObjectName(QStringLiteral("imgPIC%1").arg(i + 1));
        imgPIC[std::size_t(i)]->setGeometry(places[std::size_t(i)]);
        imgPIC[std::size_t(i)]->setPixmap(card(places[std::size_t(i)].size(), tints[std::size_t(i)]));
    }

    lblFOUND = new QLabel(this);
    lblFOUND->setObjectName(QStringLiteral("lblFOUND"));
    lblFOUND->setGeometry(px(2760, 225, 3885, 195));
    // Room for the second line of large counts (showFound); a word that still does not fit wraps.
    lblFOUND->setWordWrap(true);
    lblFOUND->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblFOUND->resize(lblFOUND->width(), std::max(lblFOUND->height(), 2 * lblFOUND->fontMetrics().lineSpacing()));

    auto button = [this](const char* name, const QString& caption, int top) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(px(6720, top, 855, 220));
        b->setAutoDefault(false);
        return b;
    };
    cmdPAUSE = button("cmdPAUSE", QStringLiteral("Pause"), 180);
    cmdCANCEL = button("cmdCANCEL", QStringLiteral("Quit    "), 450);
    cmdKILL = button("cmdKILL", QStringLiteral("Abort  "), 720);
    setTabOrder(cmdCANCEL, cmdPAUSE);
    setTabOrder(cmdPAUSE, cmdKILL);
    connect(cmdPAUSE, &QPushButton::clicked, this, &frmPREMATCH::cmdPAUSE_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmPREMATCH::cmdCANCEL_Click);
    connect(cmdKILL, &QPushButton::clicked, this, &frmPREMATCH::cmdKILL_Click);

    tmrPICTURE = new QTimer(this);
    tmrPICTURE->setObjectName(QStringLiteral("tmrPICTURE"));
    tmrPICTURE->setInterval(2000);
    connect(tmrPICTURE, &QTimer::timeout, this, &frmPREMATCH::tmrPICTURE_Timer);
    tmrPICTURE->start();
}

void frmPREMATCH::showFound(const QString& text)
{
    const bool fits = lblFOUND->fontMetrics().horizontalAdvance(text) <= lblFOUND->contentsRect().width();
    lblFOUND->setText(fits ? text : QString(text).replace(QStringLiteral("  "), QStringLiteral("\n")));
}

void frmPREMATCH::Form_Load()
{
    // Bottom right of the screen, unless a position of the progress windows is stored.
    placeProgressWindow(this, m_session);
    m_cycle->open();
    m_firstActivation = true;
}

void frmPREMATCH::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, &frmPREMATCH::Form_Activate);
}

void frmPREMATCH::Form_Activate()
{
    m_yielder.yield();
    if (!m_firstActivation || m_unloaded)
        return;
    m_firstActivation = false;
    if (m_session.WasSearchMinmized)
        showMinimized();
    if (m_cycle->isOpen()) {
        m_cycle->run();
        // A cycle whose catalogue failed under it has said so: the search goes no further.
        if (m_cycle->failed())
            m_session.PrematchFailed = true;
        else
            m_cycle->finish();
    }
    close();
}

void frmPREMATCH::cmdPAUSE_Click()
{
    m_cycle->togglePause();
}

void frmPREMATCH::cmdCANCEL_Click()
{
    m_cycle->requestQuit();
}

void frmPREMATCH::cmdKILL_Click()
{
    m_cycle->abortCycle();
    m_programEnd();
}

void frmPREMATCH::tmrPICTURE_Timer()
{
    imgPIC[std::size_t(QRandomGenerator::global()->bounded(5))]->raise();
}

void frmPREMATCH::closeEvent(QCloseEvent* event)
{
    if (m_cycle->running()) {
        // Closing mid-run asks the cycle to end; the window unloads when the loop returns.
        m_cycle->requestQuit();
        m_cycle->Paused = false;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept(); // not QDialog's handler: it would reject, which closes again
}

void frmPREMATCH::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    tmrPICTURE->stop();
    // A cycle whose catalogue could not be opened ran no step, and one whose catalogue failed
    // under it did not finish: its resume point stays for a later try.
    if (m_cycle->isOpen() && !m_cycle->failed())
        m_cycle->removeResumeFile();
    m_cycle->requestQuit();
    m_cycle->closeDatabase();
    if (isMinimized()) {
        m_session.WasSearchMinmized = true;
    } else {
        m_session.PreScanTop = twips::of(y());
        m_session.PreScanLeft = twips::of(x());
    }
    m_session.PrematchUnloaded = true;
}
