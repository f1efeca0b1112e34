#include "SlideStage.h"

#include "FittedSize.h"
#include "PictureCell.h"
#include "SlideLoader.h"

SlideStage::SlideStage(Settings& settings, int& currentIndex, RandomSource& random, QSize screen,
                       QWidget* parent)
    : QWidget(parent), m_show(*this, settings, currentIndex, random),
      m_loader(new SlideLoader(this)), m_slide(new PictureCell(this)), m_screen(screen) {
    setObjectName("SlideStage");
    m_slide->setObjectName("Slide");
    m_slide->hide();
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    connect(&m_reloj, &QTimer::timeout, this, &SlideStage::tick);
    connect(m_loader, &SlideLoader::arrived, this, &SlideStage::pictureArrived);
}

SlideStage::~SlideStage() = default;

// A tick while the last step's picture is still being read waits for it: with pictures that
// take longer to read than the delay, the show would otherwise never show one.
void SlideStage::tick() {
    if (!m_loader->waiting())
        m_show.Reloj_Timer();
}

void SlideStage::setList(QStringList entries, int fileCount, QString folder) {
    m_show.setList(std::move(entries), fileCount, std::move(folder));
}

void SlideStage::setScreenSize(QSize screen) {
    if (screen == m_screen)
        return;
    m_screen = screen;
    m_show.presentSlide();
}

void SlideStage::setPointer(const QCursor& cursor) {
    setCursor(cursor);
    m_slide->setCursor(cursor);
}

bool SlideStage::takeWaitingPicture() {
    std::optional<WaitingPicture> waiting =
        m_waiting ? m_waiting->takeWaitingPicture() : std::nullopt;
    if (!waiting)
        return false;
    m_picture = std::move(waiting->picture);
    // The window's copy keeps only what it could show; the screen is larger.
    const QSize wanted = fittedSize(m_picture.naturalSize, decodeBound());
    const QSize held = m_picture.image.size();
    if (!waiting->sourcePath.isEmpty() &&
        (held.width() < wanted.width() || held.height() < wanted.height())) {
        // Shown as it is now; the sharper copy replaces it when it has been read.
        std::optional<PictureLoader::Result> sharper =
            m_loader->request(waiting->sourcePath, decodeBound());
        if (sharper && sharper->ok())
            m_picture = std::move(sharper->picture);
    }
    return true;
}

SlideShowHost::Load SlideStage::loadSlide(const QString& path) {
    std::optional<PictureLoader::Result> loaded = m_loader->request(path, decodeBound());
    if (!loaded)
        return Load::Pending;
    if (!loaded->ok())
        return Load::Failed;
    m_picture = std::move(loaded->picture);
    return Load::Ready;
}

void SlideStage::pictureArrived(const PictureLoader::Result& result) {
    if (result.ok())
        m_picture = result.picture;
    m_show.presentSlide();
}

QSize SlideStage::slidePictureSize() const {
    return m_picture.naturalSize;
}

QSize SlideStage::decodeBound() const {
    return (QSizeF(m_screen) * devicePixelRatioF()).toSize();
}

QSizeF SlideStage::screenSize() const {
    return QSizeF(m_screen);
}

void SlideStage::hideSlide() {
    m_slide->hide();
}

void SlideStage::showSlide(const QRectF& rect) {
    m_slide->setPicture(m_picture.image);
    m_slide->setGeometry(rect.toRect());
    m_slide->show();
    if (const std::optional<QString> upcoming = m_show.upcomingFile())
        m_loader->readAhead(*upcoming, decodeBound());
}

void SlideStage::timerChanged(bool running, int periodMs) {
    m_reloj.setInterval(periodMs);
    if (running == m_reloj.isActive())
        return;
    if (running)
        m_reloj.start();
    else
        m_reloj.stop();
    emit timerRunningChanged(running);
}
