function labels = vemlari_mode_labels(modes)
%VEMLARI_MODE_LABELS  Legend texts 'mode 0', 'mode 1', ... for the mode indices MODES.
labels = arrayfun(@(m) sprintf('mode %d', m), modes, 'UniformOutput', false);
end
