#include "ui/Image.h"

namespace ui {

Image::Image(std::string name, Control* parent)
    : Control(Kind::Image, std::move(name), parent), picture_(std::make_shared<Picture>()) {}

void Image::loadFromFile(const std::string& path) {
    // Decode first: a bad file leaves the shown picture as it was. A stretched
    // picture is decoded no larger than it needs to be to cover the control.
    const DecodeSize atLeast = stretch_ ? DecodeSize{width(), height()} : DecodeSize{};
    Picture decoded = Picture::fromFile(path, atLeast);
    *picture_ = std::move(decoded);
    changed();
}

void Image::setPicture(const Picture& p) {
    *picture_ = p;
    changed();
}

void Image::clearPicture() {
    *picture_ = Picture();
    changed();
}

void Image::setStretch(bool on) {
    if (stretch_ != on) {
        stretch_ = on;
        changed();
    }
}

} // namespace ui
