#pragma once

#include <cstdint>
#include <string>

#include "jpeg_encoder.h"

// What the simulated camera sees: a box standing on the turntable, turned by
// `angle_degrees` (at 0 its side with one bar looks at the camera; the sides
// after it carry two, three and four bars), a mark on the turntable's rim at
// the same angle, the photo's number at the top left and the angle at the
// top right.
constexpr int kPictureWidth = 320;
constexpr int kPictureHeight = 240;

GrayImage DrawTurntablePicture(double angle_degrees, int photo_number);

// The camera's photo of that picture, as a JPEG that says in a comment which
// exposure of the session it is and where the table stood, so that a test
// can tell which angle every copied photo holds:
// "zentrivo-sim shot=12 place=135.00".
std::string TurntablePhoto(double angle_degrees, int photo_number, std::int64_t shot_number);
