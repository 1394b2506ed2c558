// TSkinStore: several skin packages kept under names inside a form, so a program can
// switch skins without files. TSkinData::LoadFromCollection loads one by index.
//
// An item's data are the package bytes exactly as in a ".skn" file. Items are numbered
// by an ID that the collection hands out from 0 and never reuses.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/Controls.h"

class TSkinCollection;

class TSkinCollectionItem : public TObject {
 public:
  explicit TSkinCollectionItem(TSkinCollection& collection, int id);
  std::string ClassName() const override { return "TSkinCollectionItem"; }

  const std::string& Name() const { return name_; }
  // Raises Exception when another item of the collection already has exactly this name.
  void SetName(const std::string& value);
  std::string SkinData() const { return "Load Skin"; }
  int DataSize() const { return static_cast<int>(data_.size()); }
  int ID() const { return id_; }
  std::string GetDisplayName() const { return name_; }

  void Assign(const TSkinCollectionItem& source);
  void CopyData(std::string& target) const { target += data_; }
  bool LoadFromFile(const std::string& fileName);
  const std::string& Data() const { return data_; }

  // The binary property "DataStream": the whole of Data.
  void ReadData(std::string_view stream) { data_.assign(stream); }
  void WriteData(std::string& stream) const { stream += data_; }

 private:
  TSkinCollection& collection_;
  int id_;
  std::string name_;
  std::string data_;
};

class TSkinCollection {
 public:
  TSkinCollectionItem& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TSkinCollectionItem& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
  const TSkinCollectionItem& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  void Delete(int index);
  void Clear() { items_.clear(); }
  // Copies every item of the source (names and data) in place of this collection's.
  void Assign(const TSkinCollection& source);

 private:
  std::vector<std::unique_ptr<TSkinCollectionItem>> items_;
  int nextId_ = 0;
};

class TSkinStore : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TSkinStore"; }
  TSkinCollection& Store() { return store_; }
  const TSkinCollection& Store() const { return store_; }
  void SetStore(const TSkinCollection* value) {
    if (value && value != &store_) store_.Assign(*value);
  }

 private:
  TSkinCollection store_;
};
