# Sourced by the whole-process benchmarks: the CPU a process spent, all of its threads.
# A process's own schedstat counts its first thread alone, and the bars beside the app do
# their work on others. Threads that end between two readings drop out of the sum; none of the
# measured programs starts or ends one while it is measured, which `/proc/PID/stat` checks
# (whole process, dead threads included, in clock ticks).

# Nanoseconds on a CPU, summed over the process's threads.
process_cpu_ns() { cat /proc/"$1"/task/*/schedstat | awk '{ns += $1} END {printf "%d\n", ns}'; }
# User and system time of the whole process, in clock ticks.
process_cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
