#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// A file or folder on the card, as PTP lists it.
struct CardObject {
    std::uint32_t Handle = 0;
    std::uint32_t Parent = 0;  // 0 at the root of the card
    std::uint16_t Format = 0;
    std::string Name;
    std::shared_ptr<const std::string> Bytes;  // none for a folder
    std::string Date;                          // as PTP writes it: 20261208T141500
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::int64_t Shot = 0;  // the exposure the file comes from; 0 for a folder

    std::size_t Size() const { return Bytes ? Bytes->size() : 0; }
};

// The tethered camera's memory card: one storage holding DCIM/100ZNTRV, as
// a camera lays out its card, and the photos in it. Photos are kept in
// memory; the camera adds them while the connection reads them, so every
// call is safe from any thread.
class PtpCard {
public:
    static constexpr std::uint32_t kStorageId = 0x00010001;

    PtpCard();

    // Stores a file in the photo folder; returns its handle.
    std::uint32_t Add(const std::string& name, std::uint16_t format, std::string bytes,
                      std::int64_t shot, std::uint32_t width, std::uint32_t height);

    std::optional<CardObject> Find(std::uint32_t handle) const;
    // The handles PTP's GetObjectHandles asks for: `parent` 0 is every
    // object, ptp::kAll those at the root; `format` 0 any format. Nothing
    // when `parent` is not a folder on the card.
    std::optional<std::vector<std::uint32_t>> Handles(std::uint32_t format,
                                                      std::uint32_t parent) const;

    // The ObjectInfo and StorageInfo datasets.
    static std::string ObjectInfo(const CardObject& object);
    std::string StorageInfo() const;

private:
    std::uint32_t AddLocked(CardObject object);

    mutable std::mutex mutex_;
    std::vector<CardObject> objects_;
    std::uint32_t photo_folder_ = 0;
};
