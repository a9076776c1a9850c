// The host's C++ API: building, viewing and replacing the document.
#include "standin/host.h"
#include "document.h"
#include "json_document.h"
#include "standin/files.h"

namespace standin {

Host::Host() : doc_(std::make_unique<Document>()) {}
Host::~Host() = default;

Host& Host::Instance() {
    static Host host;
    return host;
}

void Host::Reset() {
    doc_ = std::make_unique<Document>();
    version_ = kDefaultVersion;
    logging_ = false;
    observer_ = nullptr;
    ClearCalls();
    ClearFaults();
}

bool Host::LoadDocumentJson(const std::string& json, std::string* error) {
    auto doc = std::make_unique<Document>();
    std::string message;
    if (!ParseDocument(json, *doc, &message)) {
        if (error) *error = message;
        return false;
    }
    doc_ = std::move(doc);
    return true;
}

bool Host::LoadDocumentFile(const std::string& path, std::string* error) {
    std::string text;
    if (!files::Read(path, text, error)) return false;
    if (LoadDocumentJson(text, error)) return true;
    if (error) *error = path + ": " + *error;
    return false;
}

std::string Host::SaveDocumentJson() const {
    return WriteDocument(*doc_);
}

bool Host::SaveDocumentFile(const std::string& path, std::string* error) const {
    return files::WriteAll({{path, SaveDocumentJson()}}, error);
}

std::vector<GroupView> Host::Groups() const {
    std::vector<GroupView> groups;
    for (const RecordKey& key : doc_->KeysOf(tag::kGroup)) {
        groups.push_back(doc_->ViewGroup(key, *doc_->Find(key)));
    }
    return groups;
}

std::optional<GroupView> Host::Group(int16_t owner, int16_t number) const {
    RecordKey key{tag::kGroup, {static_cast<uint16_t>(owner), static_cast<uint16_t>(number), 0}};
    const Bytes* rec = doc_->Find(key);
    if (rec == nullptr) return std::nullopt;
    return doc_->ViewGroup(key, *rec);
}

std::vector<int16_t> Host::StaffSystem(int16_t system) const {
    return doc_->StaffSystem(system);
}
int Host::MeasureCount() const {
    return doc_->MeasureCount();
}
std::optional<std::u16string> Host::RawText(uint32_t tag, uint16_t number) const {
    return doc_->RawText(tag, number);
}
std::optional<std::u16string> Host::TextBlockText(uint16_t block) const {
    return doc_->TextBlockText(block);
}
std::string Host::StaffName(int16_t staff) const {
    const auto it = doc_->staffNames.find(staff);
    return it != doc_->staffNames.end() ? it->second : std::string();
}

int16_t Host::DocumentNumber() const {
    return doc_->documentNumber;
}

void Host::AddStaff(int16_t staff, std::string name) {
    std::vector<int16_t> staves = doc_->StaffSystem(0);
    staves.push_back(staff);
    doc_->SetStaffSystem(0, staves);
    doc_->staffNames[staff] = std::move(name);
}

void Host::SetStaffSystem(int16_t system, std::vector<int16_t> staves) {
    doc_->SetStaffSystem(system, staves);
}

void Host::SetMeasureCount(int count) {
    doc_->SetMeasureCount(count);
}

int16_t Host::AddGroup(const GroupSpec& spec) {
    return doc_->AddGroup(spec);
}

void Host::AddMultiStaffInstrument(int16_t number, int16_t staff1, int16_t staff2, int16_t staff3) {
    Bytes rec(12, 0);
    PutS16(rec, 0, staff1);
    PutS16(rec, 2, staff2);
    PutS16(rec, 4, staff3);
    doc_->Put(RecordKey{tag::kMultiStaff, {static_cast<uint16_t>(number), 0, 0}}, std::move(rec));
}

void Host::AddFont(uint16_t number, std::u16string name) {
    doc_->fonts[number] = std::move(name);
}

void Host::SetFontPref(uint16_t number, uint16_t font, int16_t size, uint16_t effects) {
    Bytes rec(6, 0);
    Put16(rec, 0, font);
    PutS16(rec, 2, size);
    Put16(rec, 4, effects);
    doc_->Put(RecordKey{tag::kFontPrefs, {number, 0, 0}}, std::move(rec));
}

void Host::SetCompanion(int16_t system, int16_t staff, int16_t value) {
    Bytes rec(10, 0);
    PutS16(rec, 0, value);
    doc_->Put(RecordKey{tag::kCompanion,
                        {static_cast<uint16_t>(system), static_cast<uint16_t>(staff), 0}},
              std::move(rec));
}

uint16_t Host::AddRawText(uint32_t tag, uint16_t number, std::u16string text) {
    return doc_->AddRawText(tag, number, text);
}

uint16_t Host::AddTextBlock(uint16_t number, uint16_t rawText, uint16_t kind) {
    return doc_->AddTextBlock(number, DefaultTextBlock(rawText, kind));
}

void Host::SetDocumentNumber(int16_t number) {
    doc_->documentNumber = number;
}

bool Host::PutRecord(uint32_t tag, const std::vector<uint16_t>& key, std::vector<uint8_t> bytes) {
    if (key.size() == 3 && doc_->KeyWords(tag) == 2) doc_->MarkDetailTag(tag);
    auto id = doc_->KeyFrom(tag, key);
    if (!id) return false;
    doc_->Put(*id, std::move(bytes));
    return true;
}

std::optional<std::vector<uint8_t>> Host::GetRecord(uint32_t tag,
                                                    const std::vector<uint16_t>& key) const {
    auto id = doc_->KeyFrom(tag, key);
    const Bytes* rec = id ? doc_->Find(*id) : nullptr;
    if (rec == nullptr) return std::nullopt;
    return *rec;
}

bool Host::EraseRecord(uint32_t tag, const std::vector<uint16_t>& key) {
    auto id = doc_->KeyFrom(tag, key);
    return id && doc_->Erase(*id);
}

std::vector<std::vector<uint16_t>> Host::Keys(uint32_t tag) const {
    std::vector<std::vector<uint16_t>> keys;
    for (const RecordKey& key : doc_->KeysOf(tag)) keys.push_back(doc_->Words(key));
    return keys;
}

}  // namespace standin
