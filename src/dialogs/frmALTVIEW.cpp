#include "dialogs/frmALTVIEW.h"

#include "dialogs/ExternalViewer.h"
#include "dialogs/frmFINDVIEW.h"
#include "session/Session.h"
#include "widgets/Twips.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

using twips::px;

frmALTVIEW::frmALTVIEW(Session& session, const Volumes& volumes, Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_volumes(volumes)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmALTVIEW"));
    setWindowTitle(QStringLiteral("t'olq! - Launch external viewer"));
    setModal(true);
    buildControls();
    Form_Load();
}

void frmALTVIEW::buildControls()
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(px(120, 120, 705, 915));
    Image1->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(Image1->width()));

    lblFILE = new QLabel(QStringLiteral("file..."), this);
    lblFILE->setObjectName(QStringLiteral("lblFILE"));
    lblFILE->setTextFormat(Qt::PlainText);
    lblFILE->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblFILE->setGeometry(px(960, 240, 5895, 615));
    QFont bold = lblFILE->font();
    bold.setBold(true);
    lblFILE->setFont(bold);

    Label2 = new QLabel(QStringLiteral("is un-readable or you have chosen to launch an external viewer..."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setGeometry(px(960, 840, 5895, 375));

    cmdVIEW = new QPushButton(QStringLiteral("&Use..."), this);
    cmdVIEW->setObjectName(QStringLiteral("cmdVIEW"));
    cmdVIEW->setGeometry(px(120, 1320, 3375, 495));
    cmdFIND = new QPushButton(QStringLiteral("&Find a Viewer"), this);
    cmdFIND->setObjectName(QStringLiteral("cmdFIND"));
    cmdFIND->setGeometry(px(3600, 1320, 3255, 495));
    cmdEXIT = new QPushButton(QStringLiteral("E&xit"), this);
    cmdEXIT->setObjectName(QStringLiteral("cmdEXIT"));
    cmdEXIT->setGeometry(px(120, 1920, 6735, 495));
    for (QPushButton* b : { cmdVIEW, cmdFIND, cmdEXIT })
        b->setAutoDefault(false);
    cmdVIEW->setDefault(true);

    // Holds the path; the user never sees it.
    lblVIEWER = new QLabel(this);
    lblVIEWER->setObjectName(QStringLiteral("lblVIEWER"));
    lblVIEWER->setTextFormat(Qt::PlainText);
    lblVIEWER->hide();

    setFixedSize(px(QSize(6975, 2535)));

    connect(cmdVIEW, &QPushButton::clicked, this, &frmALTVIEW::cmdVIEW_Click);
    connect(cmdFIND, &QPushButton::clicked, this, &frmALTVIEW::cmdFIND_Click);
    connect(cmdEXIT, &QPushButton::clicked, this, &frmALTVIEW::cmdEXIT_Click);
}

void frmALTVIEW::Form_Load()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
}

void frmALTVIEW::setFile(const QString& path)
{
    m_file = path;
    // A long path loses its middle, keeping the file name in sight; the tip shows it whole.
    lblFILE->setText(QFontMetrics(lblFILE->font()).elidedText(path, Qt::ElideMiddle, lblFILE->width()));
    lblFILE->setToolTip(path);
}

void frmALTVIEW::showFor(const QString& path)
{
    setFile(path);
    exec();
}

void frmALTVIEW::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmALTVIEW::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

void frmALTVIEW::Form_Activate()
{
    // Each display starts from the stored path.
    lblVIEWER->setText(m_session.AltViewer);
    ShowViewerName();
}

void frmALTVIEW::ShowViewerName()
{
    // The path keeps its case: it names a program on a file system that tells case apart.
    cmdVIEW->setText(QString(useCaption(lblVIEWER->text())).replace(QLatin1Char('&'), QStringLiteral("&&")));
    m_session.AltViewer = lblVIEWER->text();
}

void frmALTVIEW::cmdVIEW_Click()
{
    launchViewer(lblVIEWER->text(), m_file, m_prompter);
}

void frmALTVIEW::cmdFIND_Click()
{
    frmFINDVIEW picker(m_volumes, m_prompter, this);
    if (const std::optional<QString> accepted = picker.pick())
        lblVIEWER->setText(*accepted);
    ShowViewerName();
}

void frmALTVIEW::cmdEXIT_Click()
{
    QDialog::done(QDialog::Accepted);
}
