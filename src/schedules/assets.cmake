# The Assets, Liabilities and Summary forms: one group-box form mechanism and the forms as data.
target_sources(schedules PRIVATE
  schedule_table.cpp schedule_table.h
  group_box_schedule.cpp group_box_schedule.h
  assets_form_data.cpp liabilities_form_data.cpp summary_form_data.cpp
  summary_form.cpp summary_form.h
  locale_date.cpp locale_date.h)
