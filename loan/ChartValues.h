// The APR chart's figures of one loan model, as the calculator's fields show them.
#pragma once

#include "calc/LoanModel.h"
#include "report/APRChartSource.h"

// The inputs, the results and the APR of `model` (rates as their fields hold them, to the
// field's decimals); the itemised fees are left at 0 for the caller, which knows them.
// The APR's math error propagates.
TAPRChartValues LoanChartValues(const calc::LoanModel& model);
