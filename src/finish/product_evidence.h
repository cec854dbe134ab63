#pragma once

#include <opencv2/core.hpp>

namespace zentrivo {

// How strongly each pixel says "product" (CV_32F): its perceptual distance
// from the backdrop in Lab, less what a shadow would explain. A shadow
// only darkens the backdrop, keeping its hue, so a pixel that is the
// backdrop made darker counts by what is left once that darkening is
// taken out; the product's own colour is left.
cv::Mat ProductEvidence(const cv::Mat& frame, const cv::Mat& backdrop);

// Builds the colour tables the evidence reads, once, on whichever thread
// comes first; any other waits for them.
void PrepareColourTables();

// The evidence that the backdrop's noise alone gives, read where the border
// shows the backdrop only.
struct EvidenceLevels {
    float threshold = 0;  // above it a pixel is product
};
EvidenceLevels LevelsFromBorder(const cv::Mat& evidence, const cv::Mat& cleanBorder);

}  // namespace zentrivo
