#include "skin/WinSkinStore.h"

#include "classlib/Files.h"

TSkinCollectionItem::TSkinCollectionItem(TSkinCollection& collection, int id)
    : collection_(collection), id_(id), name_("SkinItem" + std::to_string(id)) {}

void TSkinCollectionItem::SetName(const std::string& value) {
  if (value == name_) return;
  for (int i = 0; i < collection_.Count(); ++i) {
    const TSkinCollectionItem& other = collection_.Items(i);
    if (&other != this && other.name_ == value) throw Exception("The name " + value + " is already used.");
  }
  name_ = value;
}

void TSkinCollectionItem::Assign(const TSkinCollectionItem& source) {
  if (&source == this) return;
  name_ = source.name_;
  data_ = source.data_;
}

bool TSkinCollectionItem::LoadFromFile(const std::string& fileName) {
  data_.clear();
  return file::ReadAll(fileName, data_);
}

TSkinCollectionItem& TSkinCollection::Add() {
  items_.push_back(std::make_unique<TSkinCollectionItem>(*this, nextId_++));
  return *items_.back();
}

void TSkinCollection::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TSkinCollection::Assign(const TSkinCollection& source) {
  if (&source == this) return;
  items_.clear();
  for (int i = 0; i < source.Count(); ++i) Add().Assign(source.Items(i));
}
