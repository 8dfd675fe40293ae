#include "core/memory_file_system.h"

#include <algorithm>
#include <cstring>

#include "core/error.h"

namespace infotrakon {
namespace {

class MemoryFile final : public ReadableFile {
  public:
    MemoryFile(std::string name, std::shared_ptr<const std::string> bytes)
        : name_(std::move(name)), bytes_(std::move(bytes)) {}

    std::uint64_t Size() const override { return bytes_->size(); }
    const std::string& name() const override { return name_; }
    std::size_t ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        if (offset >= bytes_->size()) return 0;
        const std::size_t count =
            std::min<std::size_t>(out.size(), bytes_->size() - static_cast<std::size_t>(offset));
        std::memcpy(out.data(), bytes_->data() + offset, count);
        return count;
    }

  private:
    std::string name_;
    std::shared_ptr<const std::string> bytes_;
};

}  // namespace

void MemoryFileSystem::Add(const std::string& path, std::string bytes) {
    files_[path] = std::make_shared<const std::string>(std::move(bytes));
}

bool MemoryFileSystem::FileExists(const std::string& path) const { return files_.contains(path); }

std::unique_ptr<ReadableFile> MemoryFileSystem::OpenForReading(const std::string& path) const {
    const auto found = files_.find(path);
    if (found == files_.end())
        throw Error(error_number::kCouldNotFindFile, "Could not find file '" + path + "'");
    return std::make_unique<MemoryFile>(path, found->second);
}

}  // namespace infotrakon
