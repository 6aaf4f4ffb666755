#pragma once
// The run's view of the file seam: the front end's files, with every byte read or written
// charged to the run's work meter. Everything else passes through unchanged.
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"
#include "base/work_meter.h"

namespace velmora {

class MeteredFiles final : public GameFiles {
 public:
  // Refers to the pointer, not the object: a run may be lent other files.
  MeteredFiles(GameFiles*& inner, WorkMeter& meter) : inner_(inner), meter_(meter) {}

  bool Exists(const std::string& path) override { return inner_->Exists(path); }
  FileIdentity Identity(const std::string& path) override { return inner_->Identity(path); }
  int ReadableError(const std::string& path) override { return inner_->ReadableError(path); }
  FileRead Read(const std::string& path, size_t maxBytes) override {
    FileRead read = inner_->Read(path, maxBytes);
    meter_.Charge(static_cast<int64_t>(read.bytes.size()));
    return read;
  }
  FileRead ReadHead(const std::string& path, size_t maxBytes) override {
    FileRead read = inner_->ReadHead(path, maxBytes);
    meter_.Charge(static_cast<int64_t>(read.bytes.size()));
    return read;
  }
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override {
    return inner_->List(folder, entries);
  }
  void AllowWrites(const std::string& folder, bool below) override { inner_->AllowWrites(folder, below); }
  void AllowWriteOf(const std::string& file) override { inner_->AllowWriteOf(file); }
  // Charged before the write, so a chain past its bound writes nothing more.
  bool Replace(const std::string& path, std::string_view bytes) override {
    meter_.Charge(WorkMeter::kWriteCost + static_cast<int64_t>(bytes.size()));
    return inner_->Replace(path, bytes);
  }
  bool Overwrite(const std::string& path, std::string_view bytes) override {
    meter_.Charge(WorkMeter::kWriteCost + static_cast<int64_t>(bytes.size()));
    return inner_->Overwrite(path, bytes);
  }
  void RemoveStaleTemporaries(const std::string& folder) override { inner_->RemoveStaleTemporaries(folder); }
  bool Remove(const std::string& path) override { return inner_->Remove(path); }
  std::string FullPath(const std::string& path) override { return inner_->FullPath(path); }
  int64_t FileTimeNowNs() override { return inner_->FileTimeNowNs(); }

 private:
  GameFiles*& inner_;
  WorkMeter& meter_;
};

}  // namespace velmora
