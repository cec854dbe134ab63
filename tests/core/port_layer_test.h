#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/serial/commu.h"

// A test of the port layer on either platform: it records what the layer
// would show in its message box, and closes every port the test opened.
class PortLayerTest : public ::testing::Test {
protected:
    PortLayerTest() {
        zentrivo::SetCommMessageSink([this](const std::string& text) { shown_.push_back(text); });
    }
    ~PortLayerTest() override {
        zentrivo::SetCommMessageSink(nullptr);
        for (const zentrivo::PortHandle port : opened_) {
            zentrivo::ClosePort(port);
        }
    }

    // Opens the port quietly, to be closed when the test ends.
    zentrivo::PortHandle OpenNamed(const std::string& name) {
        const zentrivo::PortHandle port = zentrivo::OpenPort(name, true);
        if (port != zentrivo::kInvalidPortHandle) {
            opened_.push_back(port);
        }
        return port;
    }

    // Every mode (baud, parity, data, stop) fails at the build step with
    // `text` and shows nothing; the first one again, not quiet, shows it.
    // For a test that has shown nothing before.
    void ExpectRefusedAtTheBuildStep(zentrivo::PortHandle port,
                                     const std::vector<std::vector<std::string>>& modes,
                                     const std::string& text) {
        for (const auto& m : modes) {
            SCOPED_TRACE(m[0] + "/" + m[1] + "/" + m[2] + "/" + m[3]);
            EXPECT_FALSE(zentrivo::ConfigurePort(port, m[0], m[1], m[2], m[3], true));
            EXPECT_TRUE(zentrivo::CommFailed());
            EXPECT_EQ(zentrivo::CommErrorText(), text);
        }
        EXPECT_TRUE(shown_.empty());
        const auto& m = modes.front();
        EXPECT_FALSE(zentrivo::ConfigurePort(port, m[0], m[1], m[2], m[3], false));
        EXPECT_EQ(shown_, std::vector<std::string>{text});
    }

    // Writes to `dead`, whose line hung up, fail with `text`, shown only
    // when not quiet; a later write to `live` succeeds and leaves the flag
    // raised, since callers judge a write by its result, never by the flag.
    // For a test that has shown nothing before.
    void ExpectFailedWritesKeepTheFlag(zentrivo::PortHandle dead, zentrivo::PortHandle live,
                                       const std::string& text) {
        EXPECT_FALSE(zentrivo::WritePort(dead, "T0001.", true));
        EXPECT_TRUE(zentrivo::CommFailed());
        EXPECT_EQ(zentrivo::CommErrorText(), text);
        EXPECT_TRUE(shown_.empty());
        EXPECT_EQ(zentrivo::ReadPort(dead), "");

        EXPECT_FALSE(zentrivo::WritePort(dead, "T0001.", false));
        EXPECT_EQ(shown_, std::vector<std::string>{text});

        EXPECT_TRUE(zentrivo::WritePort(live, "X.", false));
        EXPECT_TRUE(zentrivo::CommFailed());
    }

    // `port`'s line has hung up: looking at it and reading it both tell
    // that the device has gone, with `text`, and the layer shows nothing.
    // For a test that has shown nothing before.
    void ExpectTheDeviceGone(zentrivo::PortHandle port, const std::string& text) {
        EXPECT_TRUE(zentrivo::DeviceGone(port));
        EXPECT_EQ(zentrivo::CommErrorText(), text);
        std::string received;
        EXPECT_FALSE(zentrivo::ReadPort(port, received));
        EXPECT_EQ(received, "");
        EXPECT_TRUE(zentrivo::CommFailed());
        EXPECT_EQ(zentrivo::CommErrorText(), text);
        EXPECT_TRUE(shown_.empty());
    }

    std::vector<std::string> shown_;
    std::vector<zentrivo::PortHandle> opened_;
};
