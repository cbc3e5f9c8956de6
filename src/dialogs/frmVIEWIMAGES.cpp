#include "dialogs/frmVIEWIMAGES.h"

#include "dialogs/frmALTVIEW.h"
#include "imagestats/ImageDecoder.h"
#include "platform/ProgramDirectory.h"
#include "widgets/ImageBox.h"
#include "widgets/Twips.h"

#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

using twips::px;

namespace {

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->resize(px(ViewerLayout::ButtonWidth), px(ViewerLayout::ButtonHeight));
    return b;
}

bool isIconFile(const QString& file)
{
    const QString type = QFileInfo(file).suffix().toUpper();
    return type == QLatin1String("CUR") || type == QLatin1String("ICO");
}

} // namespace

frmVIEWIMAGES::frmVIEWIMAGES(frmALTVIEW& launcher, QWidget* parent)
    : QDialog(parent)
    , m_launcher(launcher)
{
    setObjectName(QStringLiteral("frmVIEWIMAGES"));
    setWindowTitle(QStringLiteral("t'olq! - Duplicate image file manager"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);
    setModal(true);
    buildControls();
    Form_Load();
}

void frmVIEWIMAGES::buildControls()
{
    setAutoFillBackground(true);
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(grey);

    for (int k = 0; k < 2; ++k) {
        const QString n = QString::number(k + 1);
        Picturebox[k] = new QFrame(this);
        Picturebox[k]->setObjectName(QStringLiteral("Picturebox") + n);
        Picturebox[k]->setAutoFillBackground(true);
        Picturebox[k]->installEventFilter(this);
        Picture[k] = new QWidget(Picturebox[k]);
        Picture[k]->setObjectName(QStringLiteral("Picture") + n);
        gvbIMAGE[k] = new ImageBox(Picture[k]);
        gvbIMAGE[k]->setObjectName(QStringLiteral("gvbIMAGE") + n);
        connect(gvbIMAGE[k], &ImageBox::clicked, this, &frmVIEWIMAGES::gvbIMAGE1_Click);
        picIMAGE[k] = new QLabel(Picturebox[k]);
        picIMAGE[k]->setObjectName(QStringLiteral("picIMAGE") + n);
        picIMAGE[k]->setGeometry(px(0, 0, 480, 480));
        picIMAGE[k]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picIMAGE[k]->installEventFilter(this);
        picIMAGE[k]->hide();

        VScroll[k] = new QScrollBar(Qt::Vertical, this);
        VScroll[k]->setObjectName(QStringLiteral("VScroll") + n);
        HScroll[k] = new QScrollBar(Qt::Horizontal, this);
        HScroll[k]->setObjectName(QStringLiteral("HScroll") + n);
        cmdCORNER[k] = button(QStringLiteral("cmdCORNER") + n, QString(), this);
        cmdCORNER[k]->setFocusPolicy(Qt::NoFocus);
        cmdCORNER[k]->resize(px(ViewerLayout::BarThickness), px(ViewerLayout::BarThickness));

        lblFILE[k] = new QLabel(this);
        lblFILE[k]->setObjectName(QStringLiteral("lblFILE") + n);
        lblFILE[k]->setTextFormat(Qt::PlainText);
        QFont bold = lblFILE[k]->font();
        bold.setPointSizeF(9.75);
        bold.setBold(true);
        lblFILE[k]->setFont(bold);
        lblSIZE[k] = new QLabel(this);
        lblSIZE[k]->setObjectName(QStringLiteral("lblSIZE") + n);
        lblSIZE[k]->setTextFormat(Qt::PlainText);
        QFont regular = lblSIZE[k]->font();
        regular.setPointSizeF(9.75);
        lblSIZE[k]->setFont(regular);

        cmdDELETE[k] = button(QStringLiteral("cmdDELETE") + n, QStringLiteral("&%1 Delete").arg(n), this);
        cmdVIEW[k] = button(QStringLiteral("cmdVIEW") + n, QStringLiteral("External . . ."), this);
    }
    cmdRETURN = button(QStringLiteral("cmdRETURN"), QStringLiteral("&Return . . ."), this);
    // Enter returns; it never asks for a delete.
    cmdRETURN->setDefault(true);

    connect(cmdDELETE[0], &QPushButton::clicked, this, &frmVIEWIMAGES::cmdDELETE1_Click);
    connect(cmdDELETE[1], &QPushButton::clicked, this, &frmVIEWIMAGES::cmdDELETE2_Click);
    connect(cmdVIEW[0], &QPushButton::clicked, this, &frmVIEWIMAGES::cmdVIEW1_Click);
    connect(cmdVIEW[1], &QPushButton::clicked, this, &frmVIEWIMAGES::cmdVIEW2_Click);
    connect(cmdRETURN, &QPushButton::clicked, this, &frmVIEWIMAGES::cmdRETURN_Click);
    connect(VScroll[0], &QScrollBar::valueChanged, this, &frmVIEWIMAGES::VScroll1_Change);
    connect(HScroll[0], &QScrollBar::valueChanged, this, &frmVIEWIMAGES::HScroll1_Change);
    connect(VScroll[1], &QScrollBar::valueChanged, this, &frmVIEWIMAGES::VScroll2_Change);
    connect(HScroll[1], &QScrollBar::valueChanged, this, &frmVIEWIMAGES::HScroll2_Change);
}

void frmVIEWIMAGES::Form_Load()
{
    for (ImageBox* box : gvbIMAGE)
        box->setDisplayMode(ImageBox::NaturalSize);
    // The window's first size: most of the screen, centred. Later views keep what the user made.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        setMinimumSize(area.width() / 3, area.height() / 3);
        resize(area.width() * 4 / 5, area.height() * 4 / 5);
        move(area.center() - rect().center());
    }
}

bool frmVIEWIMAGES::prepare(const ViewSide& side1, const ViewSide& side2, const std::function<void(int)>& beforeLoad)
{
    m_viewFile = { side1.file, side2.file };
    m_viewSize = { side1.sizeText, side2.sizeText };
    bool ready = false;
    for (int k = 0; k < 2; ++k) {
        if (m_viewFile[k].isEmpty()) {
            gvbIMAGE[k]->hide();
            picIMAGE[k]->hide();
            continue;
        }
        if (beforeLoad)
            beforeLoad(k + 1);
        if (loadSide(k, m_viewFile[k]))
            ready = true;
        else
            m_launcher.showFor(m_viewFile[k]);
    }
    return ready;
}

ViewResult frmVIEWIMAGES::view(const ViewSide& side1, const ViewSide& side2, const std::function<void(int)>& beforeLoad)
{
    if (!prepare(side1, side2, beforeLoad)) {
        letGo();
        return {};
    }
    exec();
    return ViewResult { true, m_delPic };
}

bool frmVIEWIMAGES::loadSide(int side, const QString& file)
{
    ImageBox* box = gvbIMAGE[side];
    QLabel* icon = picIMAGE[side];
    bool loaded = false;
    if (isIconFile(file)) {
        box->setFile(QString());
        box->hide();
        icon->show();
        const DecodeResult decoded = decodeImageFile(file);
        loaded = decoded.ok();
        icon->setPixmap(loaded ? QPixmap::fromImage(decoded.image) : QPixmap());
    } else {
        icon->hide();
        box->show();
        loaded = box->setFile(file);
    }
    // The error picture goes to the image control; for an icon side it stays hidden there.
    if (!loaded)
        box->setFile(programFile(QStringLiteral("error.bmp")));
    return loaded;
}

void frmVIEWIMAGES::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmVIEWIMAGES::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmVIEWIMAGES::Form_Activate()
{
    // A window that has just hidden itself keeps the request it ended with.
    if (!isVisible())
        return;
    m_delPic.clear();
    Form_Resize();
}

void frmVIEWIMAGES::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmVIEWIMAGES::Form_Resize()
{
    if (m_layingOut)
        return;
    const QSize outer = twips::of(frameGeometry().size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize screenTwips = twips::of(screen->geometry().size());
        const QSize guarded = ViewerLayout::guardedSize(outer, screenTwips);
        if (guarded != outer && !isMinimized()) {
            resize(size() + px(guarded - outer));
            return;
        }
    }
    m_layingOut = true;
    std::array<ViewerSideState, 2> states;
    for (int k = 0; k < 2; ++k) {
        const ImageBox* box = gvbIMAGE[k];
        states[k] = ViewerSideState { !box->file().isEmpty(), twips::of(box->size()),
            QSize(box->imageWidth(), box->imageHeight()), m_viewFile[k], m_viewSize[k] };
    }
    const ViewerLayoutResult layout = ViewerLayout::layout(outer, states,
        [this](const QString& text) { return twips::of(lblFILE[0]->fontMetrics().horizontalAdvance(text)); });
    for (int k = 0; k < 2; ++k) {
        const ViewerSideLayout& side = layout.sides[k];
        Picturebox[k]->setGeometry(px(side.frame));
        VScroll[k]->setGeometry(px(side.verticalBar));
        HScroll[k]->setGeometry(px(side.horizontalBar));
        cmdCORNER[k]->setGeometry(px(side.corner));
        lblFILE[k]->setText(side.fileText);
        lblFILE[k]->adjustSize();
        lblFILE[k]->move(px(side.fileLabel));
        lblSIZE[k]->setText(side.sizeText);
        lblSIZE[k]->adjustSize();
        lblSIZE[k]->move(px(side.sizeLabel));
        cmdDELETE[k]->move(px(side.deleteButton));
        cmdVIEW[k]->move(px(side.viewButton));
        cmdDELETE[k]->setVisible(side.buttonsVisible);
        cmdVIEW[k]->setVisible(side.buttonsVisible);
        Picture[k]->resize(gvbIMAGE[k]->size());
        Picture[k]->move(0, 0);
        Picture[k]->setVisible(side.holderVisible);
    }
    cmdRETURN->move(px(layout.returnButton));
    for (int k = 0; k < 2; ++k) {
        const ViewerSideLayout& side = layout.sides[k];
        VScroll[k]->setRange(0, side.vertical.max);
        VScroll[k]->setSingleStep(side.vertical.smallChange);
        VScroll[k]->setPageStep(side.vertical.largeChange);
        HScroll[k]->setRange(0, side.horizontal.max);
        HScroll[k]->setSingleStep(side.horizontal.smallChange);
        HScroll[k]->setPageStep(side.horizontal.largeChange);
        gvbIMAGE[k]->move(0, 0);
        VScroll[k]->setValue(0);
        HScroll[k]->setValue(0);
    }
    m_layingOut = false;
}

void frmVIEWIMAGES::VScroll1_Change(int value)
{
    if (const std::optional<int> dragged
        = ViewerLayout::dragValue(value, VScroll[0]->maximum(), VScroll[1]->maximum())) {
        VScroll[1]->setValue(*dragged);
        Picture[1]->move(Picture[1]->x(), -px(*dragged));
    }
    Picture[0]->move(Picture[0]->x(), -px(value));
}

void frmVIEWIMAGES::HScroll1_Change(int value)
{
    if (const std::optional<int> dragged
        = ViewerLayout::dragValue(value, HScroll[0]->maximum(), HScroll[1]->maximum())) {
        HScroll[1]->setValue(*dragged);
        Picture[1]->move(-px(*dragged), Picture[1]->y());
    }
    Picture[0]->move(-px(value), Picture[0]->y());
}

void frmVIEWIMAGES::VScroll2_Change(int value)
{
    Picture[1]->move(Picture[1]->x(), -px(value));
}

void frmVIEWIMAGES::HScroll2_Change(int value)
{
    Picture[1]->move(-px(value), Picture[1]->y());
}

void frmVIEWIMAGES::fitSide(int side)
{
    ImageBox* box = gvbIMAGE[side];
    const QFrame* frame = Picturebox[side];
    box->setDisplayMode(ImageBox::NaturalSize);
    if (box->width() > frame->width()) {
        box->setDisplayMode(ImageBox::KeepSize);
        box->resize(frame->width(), box->height());
        box->setDisplayMode(ImageBox::FitWidth);
    }
    if (box->height() > frame->height()) {
        box->setDisplayMode(ImageBox::KeepSize);
        box->resize(box->width(), frame->height());
        box->setDisplayMode(ImageBox::FitHeight);
    }
}

void frmVIEWIMAGES::gvbIMAGE1_Click()
{
    const bool secondShown = !gvbIMAGE[1]->isHidden();
    const bool zoomed = gvbIMAGE[0]->displayMode() != ImageBox::NaturalSize
        || (secondShown && gvbIMAGE[1]->displayMode() != ImageBox::NaturalSize);
    if (zoomed) {
        gvbIMAGE[0]->setDisplayMode(ImageBox::NaturalSize);
        if (secondShown)
            gvbIMAGE[1]->setDisplayMode(ImageBox::NaturalSize);
    } else {
        fitSide(0);
        if (secondShown)
            fitSide(1);
    }
    Form_Resize();
}

void frmVIEWIMAGES::keyPressEvent(QKeyEvent* event)
{
    // Every row is tried in turn; after the first match hides the window the rest find nothing.
    const QString key = event->text().toUpper();
    if (key == QLatin1String("1"))
        cmdDELETE1_Click();
    if (key == QLatin1String("2") && isVisible())
        cmdDELETE2_Click();
    if ((key == QLatin1String("R") || key == QLatin1String("V") || key == QLatin1String("/")) && isVisible())
        cmdRETURN_Click();
    QDialog::keyPressEvent(event);
}

bool frmVIEWIMAGES::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        for (int k = 0; k < 2; ++k) {
            if (watched == picIMAGE[k]) {
                picIMAGE_Click();
                return true;
            }
            // A click on the bare frame; one passed up from the picture in it is the picture's.
            if (watched == Picturebox[k] && !Picturebox[k]->childAt(position)) {
                gvbIMAGE1_Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmVIEWIMAGES::cmdDELETE1_Click()
{
    m_delPic = m_viewFile[0];
    cmdRETURN_Click();
}

void frmVIEWIMAGES::cmdDELETE2_Click()
{
    m_delPic = m_viewFile[1];
    cmdRETURN_Click();
}

void frmVIEWIMAGES::letGo()
{
    for (int k = 0; k < 2; ++k) {
        gvbIMAGE[k]->setFile(QString());
        picIMAGE[k]->setPixmap(QPixmap());
    }
}

void frmVIEWIMAGES::cmdRETURN_Click()
{
    for (ImageBox* box : gvbIMAGE)
        box->setDisplayMode(ImageBox::NaturalSize);
    letGo();
    QDialog::done(QDialog::Accepted);
}

void frmVIEWIMAGES::picIMAGE_Click()
{
    // Like Return, but the zoom stays for the next view.
    letGo();
    QDialog::done(QDialog::Accepted);
}

void frmVIEWIMAGES::reject()
{
    // The close box and Escape return without a delete request.
    cmdRETURN_Click();
}

void frmVIEWIMAGES::externalView(int side)
{
    if (m_viewFile[side].isEmpty())
        return;
    m_launcher.showFor(m_viewFile[side]);
    Form_Activate();
}

void frmVIEWIMAGES::cmdVIEW1_Click()
{
    externalView(0);
}

void frmVIEWIMAGES::cmdVIEW2_Click()
{
    externalView(1);
}
