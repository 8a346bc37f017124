// zelcraft-example-data OUTDIR [RECORDS]: writes customers.csv, a customer
// data set with a nominal target (churn), together with
// customers.schema.json, customers.settings.json (for a run against churn)
// and customers.untargeted.settings.json (for a run without a target) into
// OUTDIR. The same arguments always give the same files.
//
// The data is made to exercise every kind of preparation: text with trailing
// blanks, a date, a time and a timestamp, missing values, a few extreme
// outliers, a number with four distinct values, an ordinal text field, a
// nominal field with many rare categories whose churn follows three regions,
// a group of strongly correlated amounts, a mostly empty field and a
// frequency weight.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ExampleCalendar.h"
#include "ExampleRandom.h"

namespace {

constexpr uint64_t kSeed = 20240601;
constexpr int64_t kReferenceDay = 19723;  // 2024-01-01, the reference date for durations

std::string TimeText(int64_t seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
  return text;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// A CSV cell: quoted when it holds a delimiter, a quote or a line break.
std::string Cell(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

const char* const kSegments[] = {"consumer", "small business", "corporate"};
const char* const kChannels[] = {"web", "phone", "branch", "partner"};
const char* const kSatisfaction[] = {"very low", "low", "medium", "high", "very high"};
const char* const kNotes[] = {"asked about \"loyalty\" points", "moved, new address",
                              "complaint resolved", "prefers letters"};

// Postcode areas: six large ones and a long tail of sixty rare ones, each in
// one of three regions (large areas two by two, rare ones twenty by twenty).
struct Postcode {
  std::string area;
  int region;
};

Postcode PostcodeArea(ExampleRandom& random) {
  if (random.Chance(0.8)) {
    const int64_t area = random.Between(1, 6);
    return {"PA" + std::to_string(area), static_cast<int>((area - 1) / 2)};
  }
  const int64_t area = random.Between(0, 59);
  return {"PR" + std::to_string(100 + area), static_cast<int>(area / 20)};
}

void WriteRecord(std::ostream& out, ExampleRandom& random, int64_t id) {
  const int segment = static_cast<int>(random.Between(0, 2));
  // One hidden level of activity drives the correlated amounts and churn.
  const double activity = random.Normal();
  const int age =
      static_cast<int>(std::lround(std::fmin(90, std::fmax(18, 45 + 14 * random.Normal()))));
  double income = std::exp(10.4 + 0.45 * random.Normal() + 0.15 * segment);
  if (random.Chance(0.0015)) income *= 40;  // a few extreme outliers
  const int household = static_cast<int>(random.Between(1, 4));
  const int satisfaction = static_cast<int>(
      std::lround(std::fmin(4, std::fmax(0, 2 + 0.9 * activity + 0.8 * random.Normal()))));
  const double monthly = std::fmax(5, 80 + 35 * activity + 6 * random.Normal());
  const double annual = 12 * monthly * (1 + 0.05 * random.Normal());
  const double basket = std::fmax(2, 25 + 9 * activity + 2.5 * random.Normal());
  const double orders = std::fmax(0.2, 3.2 + 1.2 * activity + 0.3 * random.Normal());
  const int64_t signupDay = kReferenceDay - random.Between(30, 12 * 365);
  const int64_t callTime = random.Between(8 * 3600, 20 * 3600 - 1);
  const int64_t lastLogin =
      (kReferenceDay - random.Between(1, 365)) * 86400 + random.Between(0, 86399);

  // Churn is more likely in some regions than in others, so the areas of a
  // region relate alike to it.
  const Postcode postcode = PostcodeArea(random);
  const double leaning = -0.9 * activity - 0.5 * (satisfaction - 2) +
                         1.2 * (postcode.region - 1) + 0.6 * random.Normal();
  const char* churn = leaning > 0.9 ? "left" : leaning > 0.3 ? "downgraded" : "stayed";

  std::string segmentText = kSegments[segment];
  if (random.Chance(0.3)) segmentText.append(static_cast<std::size_t>(random.Between(1, 3)), ' ');
  std::string channelText = kChannels[random.Between(0, 3)];
  if (random.Chance(0.2)) channelText += "  ";

  out << id << ',' << Cell(segmentText) << ',' << Cell(channelText) << ',' << DateText(signupDay)
      << ',' << (random.Chance(0.05) ? "" : TimeText(callTime)) << ','
      << DateText(lastLogin / 86400) << ' ' << TimeText(lastLogin % 86400) << ','
      << (random.Chance(0.03) ? "" : std::to_string(age)) << ','
      << (random.Chance(0.06) ? "" : Fixed(income, 2)) << ',' << household << ','
      << (random.Chance(0.04) ? "" : Cell(kSatisfaction[satisfaction])) << ','
      << postcode.area << ',' << Fixed(monthly, 2) << ',' << Fixed(annual, 2) << ','
      << (random.Chance(0.02) ? "" : Fixed(basket, 2)) << ',' << Fixed(orders, 1) << ','
      << (random.Chance(0.9) ? "" : Cell(kNotes[random.Between(0, 3)])) << ','
      << random.Between(1, 3) << ',' << churn << '\n';
}

const char kSchema[] = R"({"fields": {
  "customer_id": {"role": "none"},
  "signup_date": {"label": "Date of sign-up"},
  "preferred_call_time": {"label": "Preferred time for calls"},
  "age": {"storage": "integer", "label": "Age in years"},
  "income": {"label": "Yearly income", "missingRange": [-1e9, -1]},
  "satisfaction": {"level": "ordinal",
                   "categories": ["very low", "low", "medium", "high", "very high"]},
  "postcode_area": {"level": "nominal"},
  "churn": {"label": "What the customer did",
            "valueLabels": {"stayed": "Stayed", "downgraded": "Downgraded", "left": "Left"}}
}}
)";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: zelcraft-example-data OUTDIR [RECORDS]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const long long records = argc == 3 ? std::atoll(argv[2]) : 4000;
  if (records <= 0) {
    std::fprintf(stderr, "RECORDS must be a positive number\n");
    return 2;
  }
  std::ofstream csv(dir + "/customers.csv", std::ios::binary);
  std::ofstream schema(dir + "/customers.schema.json", std::ios::binary);
  std::ofstream settings(dir + "/customers.settings.json", std::ios::binary);
  std::ofstream untargeted(dir + "/customers.untargeted.settings.json", std::ios::binary);
  if (!csv || !schema || !settings || !untargeted) {
    std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
    return 1;
  }
  csv << "customer_id,segment,contact_channel,signup_date,preferred_call_time,last_login,age,"
         "income,household_size,satisfaction,postcode_area,monthly_spend,annual_spend,"
         "basket_value,orders_per_month,notes,weight,churn\n";
  ExampleRandom random(kSeed);
  for (long long i = 0; i < records; ++i) WriteRecord(csv, random, 100001 + i);
  schema << kSchema;
  // Fixed reference points keep the derived durations, and so the document,
  // the same whatever day it is made on.
  // With a target, categories are merged by how they predict it; merging
  // by frequency alone is then not wanted.
  const std::string reference =
      "{\"computeDateDuration\": true, \"referenceDateForDurations\": " +
      std::to_string(kReferenceDay) +
      ",\n \"computeTimeDuration\": true, \"referenceTimeForDurations\": 43200,\n";
  settings << reference
           << " \"unsupervisedMergeNominal\": false, \"unsupervisedMergeOrdinal\": false}\n";
  // Without a target, sparse categories are merged by frequency and the
  // correlated amounts make a constructed feature; the steps that need a
  // target are off.
  untargeted << reference
             << " \"featureSelection\": false, \"supervisedMerging\": false,"
                " \"supervisedBinning\": false}\n";
  csv.close();
  schema.close();
  settings.close();
  untargeted.close();
  if (!csv || !schema || !settings || !untargeted) {
    std::fprintf(stderr, "cannot write into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
