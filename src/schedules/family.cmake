target_sources(schedules PRIVATE
  form_controls.h
  family_form.cpp family_form.h
  expense_lines.cpp expense_lines.h
  expenses_form.cpp expenses_form.h
  income_form.cpp income_form.h)
