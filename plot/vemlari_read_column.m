function v = vemlari_read_column(name, caller)
%VEMLARI_READ_COLUMN  Values of a vemlari data file (one number a line).
%   V = VEMLARI_READ_COLUMN(NAME, CALLER) reads the file NAME in the current
%   folder and returns its numbers as a column vector. When the file is not
%   there, CALLER stops with a message that names the file and the run that
%   writes it.
fid = fopen(fullfile(pwd, name), 'r');
if fid < 0
  if any(strncmp(name, {'sc', 'vz', 'vl', 'vr'}, 2))
    how = 'run vemlari in check mode (answer 1 to "Check Secular Functions & Eigen Vectors?") first';
  else
    how = 'run vemlari in this folder first';
  end
  error('vemlari:missingFile', '%s: %s not found in %s - %s', caller, name, pwd, how);
end
v = fscanf(fid, '%f');
fclose(fid);
v = v(:);
end
