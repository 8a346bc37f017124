#include "frame/ZelPassState.h"

#include "frame/ZelStatusCodes.h"
#include "statistics/ZelStateParts.h"

namespace ZelFrame {

using TorCommon_1_3::TorStatus;
using ZelStatistic::ZelStateReader;
using ZelStatistic::ZelStateWriter;

namespace {

constexpr uint64_t kMagic = 0x45544154534c455aULL;  // "ZELSTATE"

struct Envelope {
  ZelPassIdentity identity;
  uint32_t count = 0;
};

struct Record {
  uint32_t kind = 0;
  uint32_t field = 0;
  uint64_t name = 0;
  uint64_t length = 0;
};

TorStatus Damaged(std::string* detail, const char* why) {
  *detail = why;
  return TorStatus(ZelStatusCode::kStateDamaged, false);
}

TorStatus Mismatch(std::string* detail, const std::string& why) {
  *detail = why;
  return TorStatus(ZelStatusCode::kStateMismatch, false);
}

// Checks the magic, version and checksum and reads the envelope; `body` then
// reads the records, and nothing past the checksum.
TorStatus Open(const std::string& bytes, Envelope* envelope, ZelStateReader* body,
               std::string* detail) {
  if (bytes.size() < 8 + 4 + 4 + 8 + 8 + 4 + 8) return Damaged(detail, "the state is too short");
  const std::size_t content = bytes.size() - 8;
  ZelStateReader tail(bytes.data() + content, 8);
  uint64_t checksum = 0;
  tail.U64(&checksum);
  uint64_t magic = 0;
  uint32_t version = 0;
  body->U64(&magic);
  body->U32(&version);
  if (magic != kMagic) return Damaged(detail, "the bytes are no statistics state");
  if (version != kZelPassStateVersion) {
    return Damaged(detail, "the state has another format version");
  }
  if (ZelStatistic::ZelStateChecksum(bytes.data(), content) != checksum) {
    return Damaged(detail, "the state's checksum does not match: it was altered or cut short");
  }
  if (!body->U32(&envelope->identity.pass) || !body->U64(&envelope->identity.settings) ||
      !body->U64(&envelope->identity.fields) || !body->U32(&envelope->count)) {
    return Damaged(detail, "the state is too short");
  }
  return TorStatus();
}

bool ReadRecord(ZelStateReader* in, Record* record) {
  return in->U32(&record->kind) && in->U32(&record->field) && in->U64(&record->name) &&
         in->Count(&record->length, 1);
}

void WriteRecord(ZelStateWriter* out, const Record& record) {
  out->U32(record.kind);
  out->U32(record.field);
  out->U64(record.name);
  out->U64(record.length);
}

void Seal(std::string* out) {
  ZelStateWriter writer(out);
  writer.U64(ZelStatistic::ZelStateChecksum(out->data(), out->size()));
}

void WriteEnvelope(ZelStateWriter* out, const Envelope& envelope) {
  out->U64(kMagic);
  out->U32(kZelPassStateVersion);
  out->U32(envelope.identity.pass);
  out->U64(envelope.identity.settings);
  out->U64(envelope.identity.fields);
  out->U32(envelope.count);
}

// Why a state of `found` does not belong to `expected`; empty when it does.
std::string Difference(const ZelPassIdentity& found, const ZelPassIdentity& expected) {
  if (found.pass != expected.pass) {
    return "the state is of pass " + std::to_string(found.pass + 1) + ", the build is at pass " +
           std::to_string(expected.pass + 1);
  }
  if (found.settings != expected.settings) return "the state was made with other settings";
  if (found.fields != expected.fields) return "the state was made over another field list";
  return std::string();
}

}  // namespace

void WritePassState(const ZelPassIdentity& identity,
                    const std::vector<ZelPassStatistic>& statistics, std::string* out) {
  out->clear();
  ZelStateWriter writer(out);
  WriteEnvelope(&writer, {identity, static_cast<uint32_t>(statistics.size())});
  std::string parts;
  for (const ZelPassStatistic& entry : statistics) {
    parts.clear();
    ZelStateWriter partWriter(&parts);
    entry.statistic->WriteState(&partWriter);
    WriteRecord(&writer, {entry.statistic->GetType(), static_cast<uint32_t>(entry.fieldIndex),
                          entry.nameIdentity, parts.size()});
    out->append(parts);
  }
  Seal(out);
}

TorStatus ReadPassState(const std::string& bytes, const ZelPassIdentity& identity,
                        const std::vector<ZelPassStatistic>& statistics, std::string* detail) {
  Envelope envelope;
  ZelStateReader in(bytes.data(), bytes.size() - (bytes.size() >= 8 ? 8 : 0));
  const TorStatus opened = Open(bytes, &envelope, &in, detail);
  if (opened.IsError()) return opened;
  const std::string difference = Difference(envelope.identity, identity);
  if (!difference.empty()) return Mismatch(detail, difference);
  if (envelope.count != statistics.size()) {
    return Mismatch(detail, "the state holds another number of statistics than the build");
  }
  for (const ZelPassStatistic& entry : statistics) {
    Record record;
    if (!ReadRecord(&in, &record)) return Damaged(detail, "the state is too short");
    if (record.kind != entry.statistic->GetType() ||
        record.field != static_cast<uint32_t>(entry.fieldIndex) ||
        record.name != entry.nameIdentity) {
      return Mismatch(detail, "the state holds another statistic or field than the build");
    }
    ZelStateReader parts(in.Here(), static_cast<std::size_t>(record.length));
    if (!entry.statistic->ReadState(&parts) || !parts.AtEnd()) {
      return Mismatch(detail, std::string("the state of a ") +
                                  ZelStatistic::GetStatisticTypeName(record.kind) +
                                  " statistic does not fit the build's");
    }
    in.Skip(static_cast<std::size_t>(record.length));
  }
  if (!in.AtEnd()) return Damaged(detail, "the state has bytes after its statistics");
  return TorStatus();
}

TorStatus MergePassStates(const std::string& earlier, const std::string& later,
                          std::string* merged, std::string* detail) {
  Envelope a;
  Envelope b;
  ZelStateReader inA(earlier.data(), earlier.size() >= 8 ? earlier.size() - 8 : 0);
  ZelStateReader inB(later.data(), later.size() >= 8 ? later.size() - 8 : 0);
  TorStatus opened = Open(earlier, &a, &inA, detail);
  if (opened.IsError()) return opened;
  opened = Open(later, &b, &inB, detail);
  if (opened.IsError()) return opened;
  const std::string difference = Difference(b.identity, a.identity);
  if (!difference.empty()) {
    return Mismatch(detail, "the states belong to different passes or builds: " + difference);
  }
  if (a.count != b.count) {
    return Mismatch(detail, "the states hold different numbers of statistics");
  }
  merged->clear();
  ZelStateWriter writer(merged);
  WriteEnvelope(&writer, a);
  std::string parts;
  for (uint32_t i = 0; i < a.count; ++i) {
    Record ra;
    Record rb;
    if (!ReadRecord(&inA, &ra) || !ReadRecord(&inB, &rb)) {
      return Damaged(detail, "the state is too short");
    }
    if (ra.kind != rb.kind || ra.field != rb.field || ra.name != rb.name) {
      return Mismatch(detail, "the states hold different statistics");
    }
    ZelStateReader partsA(inA.Here(), static_cast<std::size_t>(ra.length));
    ZelStateReader partsB(inB.Here(), static_cast<std::size_t>(rb.length));
    inA.Skip(static_cast<std::size_t>(ra.length));
    inB.Skip(static_cast<std::size_t>(rb.length));
    parts.clear();
    ZelStateWriter partWriter(&parts);
    std::string why;
    if (!ZelStatistic::MergeParts(&partsA, &partsB, &partWriter, &why) || !partsA.AtEnd() ||
        !partsB.AtEnd()) {
      return Mismatch(detail, std::string("the states of a ") +
                                  ZelStatistic::GetStatisticTypeName(ra.kind) +
                                  " statistic do not merge: " +
                                  (why.empty() ? "a part is damaged" : why));
    }
    ra.length = parts.size();
    WriteRecord(&writer, ra);
    merged->append(parts);
  }
  if (!inA.AtEnd() || !inB.AtEnd()) return Damaged(detail, "a state has bytes after its statistics");
  Seal(merged);
  return TorStatus();
}

}  // namespace ZelFrame
