#include "Player.h"

#include <QPainter>

namespace swf {

struct Player::Impl {
    QString url;
    ReadyState state = Empty;
    int percent = 0;
    QString error;
    bool autoplay = true;
    bool loop = true;
    bool playing = false;
    int frame = 0;
};

Player::Player(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}

Player::~Player() = default;

void Player::load(const QString& url)
{
    d->url = url;
    d->state = Complete;
    d->percent = 100;
    emit readyStateChanged(Loading);
    emit readyStateChanged(Complete);
}

QString Player::url() const { return d->url; }
Player::ReadyState Player::readyState() const { return d->state; }
int Player::percentLoaded() const { return d->percent; }
QString Player::errorString() const { return d->error; }
void Player::setAutoplay(bool on) { d->autoplay = on; }
void Player::setLoop(bool on) { d->loop = on; }
bool Player::isPlaying() const { return d->playing; }
void Player::play() { d->playing = true; }
void Player::stop() { d->playing = false; }

void Player::rewind()
{
    d->playing = false;
    d->frame = 0;
}

void Player::gotoFrame(int) {}
int Player::currentFrame() const { return d->frame; }
int Player::totalFrames() const { return 0; }
double Player::frameRate() const { return 12.0; }
void Player::advanceFrame() {}
QSize Player::movieSize() const { return {}; }
QColor Player::backgroundColor() const { return Qt::white; }

void Player::render(QPainter& painter, const QRect& target) const
{
    painter.fillRect(target, backgroundColor());
}

QImage Player::renderImage(const QSize& size) const
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(backgroundColor());
    return image;
}

} // namespace swf
