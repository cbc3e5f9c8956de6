#include "review/pair/frmCHECKEM.h"

#include "dialogs/MoveDialog.h"
#include "dialogs/frmALTVIEW.h"
#include "dialogs/frmMOVEIT.h"
#include "dialogs/frmVIEWIMAGES.h"
#include "platform/TextLines.h"
#include "review/ReviewPorts.h"
#include "review/pair/PairReview.h"
#include "review/pair/frmCHECKEMView.h"
#include "session/MainSettings.h"
#include "session/Session.h"
#include "widgets/FormKeys.h"
#include "widgets/ImageBox.h"
#include "widgets/TextRow.h"
#include "widgets/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using twips::px;

namespace {

constexpr int HalfOffset = 2400; // twips from a control of image 1 to its twin of image 2

// The size and what follows it on its row, in twips: where each stands while the size fits.
struct Place
{
    int left;
    int width;
};
constexpr Place SizeFact { 4560, 840 };
constexpr Place DateCaption { 5400, 720 };
constexpr Place DateMark { 6135, 240 };
constexpr Place DateFact { 6360, 2775 };

// The picture at the bottom right: two framed prints, one over the other.
QPixmap decoration(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(QColor(192, 192, 192));
    QPainter painter(&pixmap);
    const QRect back(8, 6, size.width() / 2, size.height() - 24);
    const QRect front(size.width() / 2 - 14, 18, size.width() / 2, size.height() - 24);
    for (const auto& [frame, tint] :
        { std::pair { back, QColor(150, 190, 240) }, std::pair { front, QColor(240, 200, 140) } }) {
        painter.setBrush(Qt::white);
        painter.setPen(QColor(90, 90, 90));
        painter.drawRect(frame);
        painter.setBrush(tint);
        painter.setPen(Qt::NoPen);
        painter.drawRect(frame.adjusted(4, 4, -4, -4));
    }
    return pixmap;
}

} // namespace

// The move dialog as the review asks it, placed on this window.
class frmCHECKEM::Mover : public MoveDialog
{
public:
    explicit Mover(frmCHECKEM& window)
        : m_window(window)
    {
    }
    MoveResult moveFile(const QString& fileName, const QString& from) override
    {
        return m_window.moveDialog().moveFile(fileName, from, &m_window);
    }

private:
    frmCHECKEM& m_window;
};

frmCHECKEM::frmCHECKEM(const MainSettings& settings, Session& session, const QString& programDirectory,
    Prompter& prompter, SoundPlayer& sound, SettingsWriter& settingsWriter, QWidget* mainWindow, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_session(session)
    , m_prompter(prompter)
    , m_confirmer(MediaPromptSettings { session.DisableFilePolling, session.ReactivateDrives }, m_volumes, prompter)
    , m_countNotice(this)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("frmCHECKEM"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    buildControls();
    m_view = std::make_unique<View>(*this);
    m_mover = std::make_unique<Mover>(*this);
    // The viewer and its launcher live as long as the review; hidden between uses, they keep
    // their size, place and zoom.
    m_launcher = new frmALTVIEW(session, m_volumes, prompter, this);
    m_viewer = new frmVIEWIMAGES(*m_launcher, this);
    m_review = std::make_unique<PairReview>(settings, session, programDirectory,
        ReviewPorts { prompter, sound, m_yielder, m_confirmer, m_volumes, settingsWriter }, m_view.get(),
        &m_countNotice, ReviewDialogs { m_mover.get(), m_viewer });
    Form_Load();
}

frmCHECKEM::~frmCHECKEM() = default;

void frmCHECKEM::buildControls()
{
    setWindowTitle(QStringLiteral("t'olq! - Duplicate image file manager"));
    const QSize client(px(9375), px(6495));
    setMinimumSize(client);
    resize(client);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);
    setAutoFillBackground(true);

    buildHalf(1);
    buildHalf(2);

    auto label = [this](const char* name, const QString& caption, QRect place) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(place);
        return l;
    };
    lblSTATUS = label("lblSTATUS", QStringLiteral("Status..."), px(240, 4680, 6375, 375));
    Label7
        = label("Label7", QStringLiteral("Click on the thumbnails to see images full size"), px(6720, 4680, 2175, 495));
    Label7->setWordWrap(true);

    auto button = [this](const char* name, const QString& caption, QRect place) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(place);
        b->setAutoDefault(false); // Enter presses nothing by itself
        return b;
    };
    cmdPREVIOUS = button("cmdPREVIOUS", QStringLiteral("&Previous match"), px(240, 5040, 2295, 615));
    cmdBOTH = button("cmdBOTH", QStringLiteral("&3 Delete Both!        "), px(2520, 5040, 2295, 615));
    cmdSTOP = button("cmdSTOP", QStringLiteral("Stop"), px(5040, 5040, 1215, 615));
    cmdSTOP->hide();
    cmdNEXT = button("cmdNEXT", QStringLiteral("&Next match         "), px(240, 5640, 2295, 615));
    cmdSKIP = button("cmdSKIP", QStringLiteral("&Skip to Next Alpha"), px(2520, 5640, 2295, 615));
    cmdCANCEL = button("cmdCANCEL", QStringLiteral("E&xit"), px(5040, 5640, 1215, 615));
    cmdCOUNT = button("cmdCOUNT", QStringLiteral("&Count"), px(240, 6720, 1215, 495));

    Image1 = label("Image1", QString(), px(7440, 5280, 1695, 1050));
    Image1->setPixmap(decoration(Image1->size()));

    connect(cmdNEXT, &QPushButton::clicked, this, &frmCHECKEM::cmdNEXT_Click);
    connect(cmdPREVIOUS, &QPushButton::clicked, this, &frmCHECKEM::cmdPREVIOUS_Click);
    connect(cmdDELETE[0], &QPushButton::clicked, this, &frmCHECKEM::cmdDELETE1_Click);
    connect(cmdDELETE[1], &QPushButton::clicked, this, &frmCHECKEM::cmdDELETE2_Click);
    connect(cmdBOTH, &QPushButton::clicked, this, &frmCHECKEM::cmdBOTH_Click);
    connect(cmdSKIP, &QPushButton::clicked, this, &frmCHECKEM::cmdSKIP_Click);
    connect(cmdCOUNT, &QPushButton::clicked, this, &frmCHECKEM::cmdCOUNT_Click);
    connect(cmdCANCEL, &QPushButton::clicked, this, &frmCHECKEM::cmdCANCEL_Click);
    connect(cmdSTOP, &QPushButton::clicked, this, &frmCHECKEM::cmdSTOP_Click);
    connect(cmdMOVE[0], &QPushButton::clicked, this, &frmCHECKEM::cmdMOVE1_Click);
    connect(cmdMOVE[1], &QPushButton::clicked, this, &frmCHECKEM::cmdMOVE2_Click);
    connect(cmdRENAME[0], &QPushButton::clicked, this, &frmCHECKEM::cmdRENAME1_Click);
    connect(cmdRENAME[1], &QPushButton::clicked, this, &frmCHECKEM::cmdRENAME2_Click);
    connect(gvbIMAGE[0], &ImageBox::clicked, this, &frmCHECKEM::gvbIMAGE1_Click);
    connect(gvbIMAGE[1], &ImageBox::clicked, this, &frmCHECKEM::gvbIMAGE2_Click);
}

void frmCHECKEM::buildHalf(int image)
{
    const std::size_t i = std::size_t(image - 1);
    const int dy = (image - 1) * HalfOffset;
    const QString n = QString::number(image);
    auto named = [&](QWidget* widget, const QString& name, QRect place) {
        widget->setObjectName(name);
        widget->setGeometry(place);
    };
    auto label = [&](const QString& name, const QString& caption, int left, int top, int width, int height) {
        auto* l = new QLabel(caption, this);
        named(l, name, px(left, top + dy, width, height));
        return l;
    };
    // The fixed captions keep the names they were given at design.
    static const char* const captionNames[2][6] = { { "Label1", "Label3", "lbl10", "Label5", "Label6", "lblD1" },
        { "Label16", "Label15", "Label14", "Label13", "Label12", "lblD2" } };
    const char* const* names = captionNames[i];
    // The fixed captions sit between the thumbnail and the marks, a point smaller than the facts
    // so that "Dimensions -" fits there.
    auto caption = [&](int k, const QString& text, int left, int top, int width) {
        QLabel* l = label(QLatin1String(names[k]), text, left, top, width, 255);
        l->setAlignment(Qt::AlignRight | Qt::AlignTop);
        QFont small = l->font();
        small.setPointSizeF(small.pointSizeF() - 1);
        l->setFont(small);
        return l;
    };
    caption(0, QStringLiteral("File name -"), 1695, 255, 1065);
    caption(1, QStringLiteral("Location -"), 1695, 615, 1065);
    caption(2, QStringLiteral("Type -"), 1695, 1140, 1065);
    caption(3, QStringLiteral("Size -"), 3600, 1140, 720);
    m_dateCaption[i] = caption(4, QStringLiteral("Date -"), DateCaption.left, 1140, DateCaption.width);
    lblD[i] = caption(5, QStringLiteral("Dimensions -"), 1695, 1425, 1065);
    lblD[i]->hide();

    auto mark = [&](const QString& name, int left, int top) {
        QLabel* l = label(name + n, QStringLiteral("\u2714"), left, top, 240, 255);
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
        QPalette red = l->palette();
        red.setColor(QPalette::WindowText, QColor(255, 0, 0));
        l->setPalette(red);
        l->hide();
        return l;
    };
    lblCHKNAME[i] = mark(QStringLiteral("lblCHKNAME"), 2775, 240);
    lblCHKLOCATION[i] = mark(QStringLiteral("lblCHKLOCATION"), 2775, 600);
    lblCHKTYPE[i] = mark(QStringLiteral("lblCHKTYPE"), 2775, 1125);
    lblCHKSIZE[i] = mark(QStringLiteral("lblCHKSIZE"), 4335, 1125);
    lblCHKDATE[i] = mark(QStringLiteral("lblCHKDATE"), DateMark.left, 1125);
    lblCHKDIM[i] = mark(QStringLiteral("lblCHKDIM"), 2775, 1410);

    lblFILE[i] = label(QStringLiteral("lblFILE") + n, QStringLiteral("File name -"), 3000, 240, 6135, 300);
    lblPATH[i] = label(QStringLiteral("lblPATH") + n, QStringLiteral("Location -"), 3000, 600, 6270, 495);
    lblPATH[i]->setWordWrap(true);
    lblPATH[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTYPE[i] = label(QStringLiteral("lblTYPE") + n, QStringLiteral("Type -"), 3000, 1125, 600, 255);
    lblSIZE[i]
        = label(QStringLiteral("lblSIZE") + n, QStringLiteral("Size -"), SizeFact.left, 1125, SizeFact.width, 255);
    lblDATE[i]
        = label(QStringLiteral("lblDATE") + n, QStringLiteral("Date -"), DateFact.left, 1125, DateFact.width, 255);
    lblDIM[i] = label(QStringLiteral("lblDIM") + n, QStringLiteral("0 x 0"), 3000, 1410, 2400, 255);
    lblDIM[i]->hide();
    for (QLabel* fact : { lblFILE[i], lblTYPE[i], lblSIZE[i], lblDATE[i], lblDIM[i] })
        fact->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    gvbIMAGE[i] = new ImageBox(this);
    named(gvbIMAGE[i], QStringLiteral("gvbIMAGE") + n, px(240, 240 + dy, 1440, 1440));
    gvbIMAGE[i]->setDisplayMode(ImageBox::NaturalSize);
    gvbIMAGE[i]->setCursor(Qt::PointingHandCursor);
    picIMAGE[i] = new QLabel(this);
    named(picIMAGE[i], QStringLiteral("picIMAGE") + n, px(480, 480 + dy, 480, 480));
    picIMAGE[i]->hide();

    auto button = [&](const QString& name, const QString& text, int left, int top, int width) {
        auto* b = new QPushButton(text, this);
        named(b, name + n, px(left, top + dy, width, 375));
        b->setAutoDefault(false);
        return b;
    };
    cmdDELETE[i]
        = button(QStringLiteral("cmdDELETE"), QStringLiteral("&") + n + QStringLiteral(" Delete"), 240, 1800, 1455);
    cmdMOVE[i] = button(QStringLiteral("cmdMOVE"), QStringLiteral("Move"), 1800, 1800, 1455);
    cmdRENAME[i] = button(QStringLiteral("cmdRENAME"), QStringLiteral("Rename"), 3360, 1800, 1455);
    txtNEWNAME[i] = new QLineEdit(this);
    named(txtNEWNAME[i], QStringLiteral("txtNEWNAME") + n, px(4920, 1800 + dy, 3855, 375));
    txtNEWNAME[i]->setEnabled(false);
    txtNEWNAME[i]->hide();
    txtNEWNAME[i]->installEventFilter(this);
    cmdOK[i] = button(QStringLiteral("cmdOK"), QStringLiteral("Ok"), 8760, 1790, 375);
    cmdOK[i]->hide();
}

void frmCHECKEM::fitSizeRow(std::size_t i)
{
    // A size of eight digits and more pushes the date's caption, mark and text to the right.
    keepRowWhole({ { lblSIZE[i], px(SizeFact.left), px(SizeFact.width) },
        { m_dateCaption[i], px(DateCaption.left), px(DateCaption.width), false },
        { lblCHKDATE[i], px(DateMark.left), px(DateMark.width), false },
        { lblDATE[i], px(DateFact.left), px(DateFact.width) } });
}

void frmCHECKEM::Form_Load()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    lblSTATUS->clear();
    m_review->load();
    // Out of sight, still enabled: the key "C" and its access key press it.
    cmdCOUNT->move(-cmdCOUNT->width() - px(40), cmdCOUNT->y());
}

void frmCHECKEM::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, &frmCHECKEM::Form_Activate);
}

void frmCHECKEM::Form_Activate()
{
    if (m_unloaded)
        return;
    const bool stays = m_review->firstActivation();
    if (!stays)
        close();
    else
        afterAction();
}

void frmCHECKEM::afterAction()
{
    if (m_closePending && !m_review->busy()) {
        m_closePending = false;
        close();
    }
}

void frmCHECKEM::closeEvent(QCloseEvent* event)
{
    if (m_review->busy()) {
        // Closing while a search runs stops it; the window unloads when it returns.
        m_review->cmdSTOP_Click();
        m_closePending = true;
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept(); // not QDialog's handler: it would reject, which closes again
}

void frmCHECKEM::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_review->unload();
    if (m_mainWindow)
        m_mainWindow->show();
}

void frmCHECKEM::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmCHECKEM::Form_Resize()
{
    if (isMinimized())
        return;
    for (QLabel* path : lblPATH)
        path->resize(qMax(1, frameGeometry().width() - path->x() - px(240)), path->height());
}

void frmCHECKEM::keyPressEvent(QKeyEvent* event)
{
    // Every key the focused control leaves alone comes here, once; the controls of this window
    // take none of the keys below. With Alt or Ctrl a key is an access key or a shortcut, never
    // a typed character.
    if (const auto typed = typedCharacter(event); typed && m_keyPreview && !m_unloaded)
        Form_KeyPress(*typed);
    QDialog::keyPressEvent(event);
}

void frmCHECKEM::keyReleaseEvent(QKeyEvent* event)
{
    if (const int code = releasedKeyCode(event); code && m_keyPreview && !m_unloaded)
        Form_KeyUp(code);
    QDialog::keyReleaseEvent(event);
}

void frmCHECKEM::Form_KeyPress(QChar key)
{
    switch (key.toUpper().unicode()) {
    case '1':
        cmdDELETE1_Click();
        break;
    case '2':
        cmdDELETE2_Click();
        break;
    case '3':
        cmdBOTH_Click();
        break;
    case 'P':
    case '-':
        cmdPREVIOUS_Click();
        break;
    case 'N':
    case '+':
        cmdNEXT_Click();
        break;
    case 'V':
    case '/':
        gvbIMAGE1_Click();
        break;
    case 'C':
        cmdCOUNT_Click();
        break;
    default:
        break;
    }
}

void frmCHECKEM::Form_KeyUp(int keyCode)
{
    if (keyCode == keycode::PageUp)
        cmdPREVIOUS_Click();
    else if (keyCode == keycode::PageDown)
        cmdNEXT_Click();
}

void frmCHECKEM::cmdNEXT_Click()
{
    m_review->cmdNEXT_Click();
    afterAction();
}

void frmCHECKEM::cmdPREVIOUS_Click()
{
    m_review->cmdPREVIOUS_Click();
    afterAction();
}

void frmCHECKEM::cmdDELETE1_Click()
{
    m_review->cmdDELETE1_Click();
    afterAction();
}

void frmCHECKEM::cmdDELETE2_Click()
{
    m_review->cmdDELETE2_Click();
    afterAction();
}

void frmCHECKEM::cmdBOTH_Click()
{
    m_review->cmdBOTH_Click();
    afterAction();
}

void frmCHECKEM::cmdSKIP_Click()
{
    m_review->cmdSKIP_Click();
    afterAction();
}

void frmCHECKEM::cmdCOUNT_Click()
{
    m_review->cmdCOUNT_Click();
    afterAction();
}

void frmCHECKEM::cmdCANCEL_Click()
{
    close();
}

void frmCHECKEM::cmdSTOP_Click()
{
    m_review->cmdSTOP_Click();
}

void frmCHECKEM::setMoveDialog(frmMOVEIT* dialog)
{
    m_moveDialog = dialog;
}

frmMOVEIT& frmCHECKEM::moveDialog()
{
    if (!m_moveDialog)
        m_moveDialog = new frmMOVEIT(m_settings, m_session, m_volumes, m_prompter, this);
    return *m_moveDialog;
}

void frmCHECKEM::cmdMOVE1_Click()
{
    m_review->cmdMOVE1_Click();
    afterAction();
}

void frmCHECKEM::cmdMOVE2_Click()
{
    m_review->cmdMOVE2_Click();
    afterAction();
}

void frmCHECKEM::cmdRENAME1_Click()
{
    openNameBox(0);
}

void frmCHECKEM::cmdRENAME2_Click()
{
    openNameBox(1);
}

void frmCHECKEM::openNameBox(std::size_t i)
{
    // Keys go to the box from now on; with no file shown they stay off until the review's
    // controls are next switched on.
    m_keyPreview = false;
    if (!m_review->cmdRENAME_Click(int(i) + 1))
        return;
    txtNEWNAME[i]->setEnabled(true);
    txtNEWNAME[i]->show();
    cmdOK[i]->show();
    txtNEWNAME[i]->setFocus(Qt::OtherFocusReason);
}

bool frmCHECKEM::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // Only the focus moving to another control of this window leaves the box: not another
        // window coming to the front (a message box among them), nor the box's own menu.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == txtNEWNAME[0])
                txtNEWNAME1_LostFocus();
            else if (watched == txtNEWNAME[1])
                txtNEWNAME2_LostFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCHECKEM::txtNEWNAME1_LostFocus()
{
    applyNameBox(0);
}

void frmCHECKEM::txtNEWNAME2_LostFocus()
{
    applyNameBox(1);
}

void frmCHECKEM::applyNameBox(std::size_t i)
{
    QLineEdit* box = txtNEWNAME[i];
    if (m_applyingName || m_unloaded || box->isHidden() || !box->isEnabled())
        return;
    m_applyingName = true;
    cmdOK[i]->hide();
    box->setText(textlines::trimBlanks(box->text()));
    if (m_review->txtNEWNAME_LostFocus(int(i) + 1, box->text())) {
        box->hide();
        box->setEnabled(false);
        cmdNEXT->setFocus(Qt::OtherFocusReason);
    } else {
        // Back to the name for another try; leaving the box again tries again. A name of several
        // lines was refused: the box shows the present name again.
        if (textlines::holdsLineBreak(box->text()))
            box->setText(lblFILE[i]->text());
        box->setFocus(Qt::OtherFocusReason);
    }
    m_applyingName = false;
    afterAction();
}

void frmCHECKEM::gvbIMAGE1_Click()
{
    m_review->gvbIMAGE_Click();
    afterAction();
}

void frmCHECKEM::gvbIMAGE2_Click()
{
    m_review->gvbIMAGE_Click();
    afterAction();
}
