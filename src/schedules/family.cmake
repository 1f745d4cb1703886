target_sources(schedules PRIVATE
  schedule_dialog.cpp schedule_dialog.h
  family_form.cpp family_form.h
  expense_lines.cpp expense_lines.h
  expenses_form.cpp expenses_form.h
  income_form.cpp income_form.h)
