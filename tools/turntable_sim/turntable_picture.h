#pragma once

#include "jpeg_encoder.h"

// What the simulated camera sees: a box standing on the turntable, turned by
// `angle_degrees` (at 0 its side with one bar looks at the camera; the sides
// after it carry two, three and four bars), a mark on the turntable's rim at
// the same angle, the photo's number at the top left and the angle at the
// top right.
constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 240;

GrayImage DrawTurntablePicture(double angle_degrees, int photo_number);
