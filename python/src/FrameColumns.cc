#include "FrameColumns.h"

namespace zelpy {

namespace py = pybind11;

std::vector<std::string> Texts(const py::handle& list) {
  std::vector<std::string> texts;
  for (const py::handle item : list) {
    Py_ssize_t size = 0;
    const char* utf8 =
        PyUnicode_Check(item.ptr()) ? PyUnicode_AsUTF8AndSize(item.ptr(), &size) : nullptr;
    if (utf8 != nullptr) {
      texts.emplace_back(utf8, static_cast<std::size_t>(size));
      continue;
    }
    PyErr_Clear();
    if (!PyUnicode_Check(item.ptr())) throw py::type_error("a text column holds a non-text");
    const py::bytes raw = py::reinterpret_steal<py::bytes>(
        PyUnicode_AsEncodedString(item.ptr(), "utf-8", "surrogatepass"));
    if (!raw) throw py::error_already_set();
    texts.push_back(std::string(raw));
  }
  return texts;
}

ColumnData::Kind NumberKind(const std::string& kind) {
  return kind == "date"        ? ColumnData::Kind::kDate
         : kind == "time"      ? ColumnData::Kind::kTime
         : kind == "timestamp" ? ColumnData::Kind::kTimestamp
         : kind == "real"      ? ColumnData::Kind::kReal
                               : throw py::value_error("unknown column kind " + kind);
}

// A column tuple (kind, values, extra): ("integer", int64, mask or None),
// ("real" | "date" | "time" | "timestamp", float64, None) or ("text",
// int64 codes, list of texts). The arrays it reads are added to `keep`.
ColumnData ReadColumn(const py::tuple& column, std::vector<py::object>* keep) {
  const std::string kind = column[0].cast<std::string>();
  ColumnData data;
  if (kind == "integer") {
    IntArray values = column[1].cast<IntArray>();
    data.kind = ColumnData::Kind::kInteger;
    data.rows = static_cast<std::size_t>(values.size());
    data.integers = values.data();
    keep->push_back(values);
    if (!column[2].is_none()) {
      MaskArray mask = column[2].cast<MaskArray>();
      if (mask.size() != values.size()) throw py::value_error("a mask of another length");
      data.missing = reinterpret_cast<const uint8_t*>(mask.data());
      keep->push_back(mask);
    }
  } else if (kind == "text") {
    IntArray codes = column[1].cast<IntArray>();
    data.kind = ColumnData::Kind::kText;
    data.rows = static_cast<std::size_t>(codes.size());
    data.codes = codes.data();
    data.texts = Texts(column[2]);
    keep->push_back(codes);
  } else {
    RealArray values = column[1].cast<RealArray>();
    data.kind = NumberKind(kind);
    data.rows = static_cast<std::size_t>(values.size());
    data.reals = values.data();
    keep->push_back(values);
  }
  return data;
}

// The columns of a frame, one per name and all of one length; the arrays
// they point into are added to `keep`.
std::vector<ColumnData> ReadColumns(const std::vector<std::string>& names, const py::list& columns,
                                    std::vector<py::object>* keep) {
  std::vector<ColumnData> data;
  for (const py::handle column : columns) {
    data.push_back(ReadColumn(column.cast<py::tuple>(), keep));
  }
  if (names.size() != data.size()) throw py::value_error("a name for every column");
  for (const ColumnData& column : data) {
    if (column.rows != data.front().rows) throw py::value_error("columns of different lengths");
  }
  return data;
}

}  // namespace zelpy
