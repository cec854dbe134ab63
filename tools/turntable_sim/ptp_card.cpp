#include "ptp_card.h"

#include <ctime>

#include "ptp_codes.h"
#include "ptp_data.h"

namespace {

constexpr std::uint64_t kCapacity = 64ull << 30;  // a 64 GB card

std::string Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%S", &local);
    return text;
}

CardObject Folder(const std::string& name, std::uint32_t parent) {
    CardObject folder;
    folder.Parent = parent;
    folder.Format = ptp::kAssociation;
    folder.Name = name;
    folder.Date = Now();
    return folder;
}

}  // namespace

PtpCard::PtpCard() {
    const std::uint32_t dcim = AddLocked(Folder("DCIM", 0));
    photo_folder_ = AddLocked(Folder("100ZNTRV", dcim));
}

std::uint32_t PtpCard::AddLocked(CardObject object) {
    object.Handle = static_cast<std::uint32_t>(objects_.size() + 1);
    objects_.push_back(std::move(object));
    return objects_.back().Handle;
}

std::uint32_t PtpCard::Add(const std::string& name, std::uint16_t format, std::string bytes,
                           std::int64_t shot, std::uint32_t width, std::uint32_t height) {
    CardObject object;
    object.Format = format;
    object.Name = name;
    object.Bytes = std::make_shared<const std::string>(std::move(bytes));
    object.Date = Now();
    object.Width = width;
    object.Height = height;
    object.Shot = shot;
    const std::lock_guard<std::mutex> lock(mutex_);
    object.Parent = photo_folder_;
    return AddLocked(std::move(object));
}

std::optional<CardObject> PtpCard::Find(std::uint32_t handle) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (handle == 0 || handle > objects_.size()) {
        return std::nullopt;
    }
    return objects_[handle - 1];
}

std::optional<std::vector<std::uint32_t>> PtpCard::Handles(std::uint32_t format,
                                                           std::uint32_t parent) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    const bool all = parent == 0;
    const std::uint32_t wanted_parent = parent == ptp::kAll ? 0 : parent;
    if (wanted_parent != 0 && (wanted_parent > objects_.size() ||
                               objects_[wanted_parent - 1].Format != ptp::kAssociation)) {
        return std::nullopt;
    }
    std::vector<std::uint32_t> handles;
    for (const CardObject& object : objects_) {
        if ((all || object.Parent == wanted_parent) && (format == 0 || object.Format == format)) {
            handles.push_back(object.Handle);
        }
    }
    return handles;
}

std::string PtpCard::ObjectInfo(const CardObject& object) {
    const bool folder = object.Format == ptp::kAssociation;
    return PtpWriter()
        .U32(kStorageId)
        .U16(object.Format)
        .U16(0)  // not protected
        .U32(static_cast<std::uint32_t>(object.Size()))
        .U16(0)  // no thumbnail
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(object.Width)
        .U32(object.Height)
        .U32(object.Width != 0 ? 8 : 0)  // grey, eight bits a pixel
        .U32(object.Parent)
        .U16(folder ? ptp::kGenericFolder : 0)
        .U32(0)  // association description
        .U32(0)  // sequence number
        .String(object.Name)
        .String(object.Date)  // captured
        .String(object.Date)  // modified
        .String("")           // keywords
        .Data();
}

std::string PtpCard::StorageInfo() const {
    std::uint64_t used = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const CardObject& object : objects_) {
            used += object.Size();
        }
    }
    const std::uint64_t free = used < kCapacity ? kCapacity - used : 0;
    return PtpWriter()
        .U16(0x0004)  // removable RAM: a memory card
        .U16(0x0003)  // DCF, the camera file system
        .U16(0x0000)  // read and write
        .U64(kCapacity)
        .U64(free)
        .U32(static_cast<std::uint32_t>(free / (1 << 20)))  // about a megabyte a photo
        .String("SD")
        .String("ZENTRIVO")
        .Data();
}
