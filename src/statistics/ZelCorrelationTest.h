// ZelCorrelationTest: the one-sided t test of a correlation coefficient, plain
// or partial, that continuous feature selection and feature construction
// both judge an input's association with a continuous target by.
#ifndef ZELCRAFT_STATISTICS_ZELCORRELATIONTEST_H_
#define ZELCRAFT_STATISTICS_ZELCORRELATIONTEST_H_

namespace ZelStatistic {

// The probability of the t statistic of correlation r over n records, with
// heldFixed variables partialled out, staying below its value: 1 for a
// perfect correlation, 0 with too few records to say anything (n - 2 -
// heldFixed degrees of freedom or fewer than one).
double CorrelationProbability(double r, double n, int heldFixed);

}  // namespace ZelStatistic

#endif  // ZELCRAFT_STATISTICS_ZELCORRELATIONTEST_H_
