// FrameColumns: the column tuples the package makes from a frame, read as
// the extension's columns (ColumnData): ("integer", int64 values, missing
// mask or None), ("real" | "date" | "time" | "timestamp", float64 values,
// None), ("text", int64 codes, list of texts) or ("objects", an object
// array of texts and missing values, None). The arrays stay the caller's;
// the texts of a text column are copied as UTF-8, those of an object array
// viewed where they are (so read it with the interpreter lock held and keep
// the array until the column is used).
#ifndef ZELCRAFT_PYTHON_FRAMECOLUMNS_H_
#define ZELCRAFT_PYTHON_FRAMECOLUMNS_H_

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <string>
#include <vector>

#include "host/ColumnData.h"

namespace zelpy {

using zelhost::ColumnData;

using IntArray = pybind11::array_t<int64_t, pybind11::array::c_style | pybind11::array::forcecast>;
using RealArray = pybind11::array_t<double, pybind11::array::c_style | pybind11::array::forcecast>;
using MaskArray = pybind11::array_t<bool, pybind11::array::c_style | pybind11::array::forcecast>;

// The texts of a text column as UTF-8. A lone surrogate, which UTF-8 cannot
// hold, is kept as the bytes Python's "surrogatepass" gives, which the
// checks of a run refuse with the row and field.
std::vector<std::string> Texts(const pybind11::handle& list);

// Whether an object array holds texts and missing values (None, NaN) only,
// one text at least: the column every reader takes as texts, told apart
// without looking at each value's kind from Python.
bool TextObjects(const pybind11::array& values);

// One column tuple; the arrays it reads are added to `keep`.
ColumnData ReadColumn(const pybind11::tuple& column, std::vector<pybind11::object>* keep);

// The columns of a frame, one per name and all of one length (ValueError
// otherwise).
std::vector<ColumnData> ReadColumns(const std::vector<std::string>& names,
                                    const pybind11::list& columns,
                                    std::vector<pybind11::object>* keep);

}  // namespace zelpy

#endif  // ZELCRAFT_PYTHON_FRAMECOLUMNS_H_
