function t = vemlari_mode_table(counts, values, caller, name)
%VEMLARI_MODE_TABLE  Phase velocities per frequency and mode.
%   T = VEMLARI_MODE_TABLE(COUNTS, VALUES, CALLER, NAME) rebuilds the table
%   of a count file (highest mode index per frequency, -1 for none) and its
%   velocity file NAME (count+1 values per frequency). Row i is frequency i,
%   column m+1 is mode m; NaN where a frequency has no such mode.
counts = counts(:);
if numel(values) ~= sum(counts + 1)
  error('vemlari:badFile', '%s: %s holds %d values, its count file asks for %d', ...
        caller, name, numel(values), sum(counts + 1));
end
t = NaN(numel(counts), max([counts; -1]) + 1);
k = 0;
for i = 1:numel(counts)
  m = counts(i) + 1;
  t(i, 1:m) = values(k + 1:k + m).';
  k = k + m;
end
end
